# The version of the installed Debian package.
include(/usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)
