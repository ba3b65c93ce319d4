# nlohmann/json for the Windows builds (see ../headeronly.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/../headeronly.cmake)
fxt_header_only_package(nlohmann_json::nlohmann_json nlohmann)
