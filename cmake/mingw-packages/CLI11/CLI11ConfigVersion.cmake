# The version of the installed Debian package.
include(/usr/share/cmake/CLI11/CLI11ConfigVersion.cmake)
