# The kit for plug-in authors: `cmake --install` puts the framework's headers under
# include/fxt/ (bridge/, framework/, platform/, plugin/entrypoints.h and
# plugin/moduletext.h), the static framework library (and the POSIX platform layer it needs), fxthost with the Split
# Groups module beside it, and the package config lib/cmake/fxt/, which gives
# find_package(fxt) the targets fxt::framework and fxt::fxthost and the function
# fxt_add_plugin (cmake/package/FxtPlugin.cmake).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(FXT_INSTALL_INCLUDE ${CMAKE_INSTALL_INCLUDEDIR}/fxt)
set(FXT_INSTALL_CMAKE ${CMAKE_INSTALL_LIBDIR}/cmake/fxt)

foreach(dir bridge framework platform)
  install(DIRECTORY ${FXT_ROOT}/${dir}/ DESTINATION ${FXT_INSTALL_INCLUDE}/${dir}
          FILES_MATCHING PATTERN "*.h" PATTERN "*.def" PATTERN "platform_internal.h" EXCLUDE)
endforeach()
install(FILES ${FXT_ROOT}/plugin/entrypoints.h ${FXT_ROOT}/plugin/moduletext.h
        DESTINATION ${FXT_INSTALL_INCLUDE}/plugin)

set(FXT_INSTALL_TARGETS fxt_framework)
if(NOT WIN32)
  list(APPEND FXT_INSTALL_TARGETS fxt_platform)
endif()
set_target_properties(fxt_framework PROPERTIES EXPORT_NAME framework)
if(TARGET fxt_platform)
  set_target_properties(fxt_platform PROPERTIES EXPORT_NAME platform)
endif()
if(FXT_BUILD_HOST)
  list(APPEND FXT_INSTALL_TARGETS fxthost)
  install(TARGETS tolleksplitgroups LIBRARY DESTINATION ${CMAKE_INSTALL_BINDIR}
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS ${FXT_INSTALL_TARGETS} EXPORT fxtTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} ${FXT_INSTALL_INCLUDE})
install(EXPORT fxtTargets NAMESPACE fxt:: DESTINATION ${FXT_INSTALL_CMAKE})

configure_package_config_file(${FXT_ROOT}/cmake/package/fxtConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/fxtConfig.cmake INSTALL_DESTINATION ${FXT_INSTALL_CMAKE})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/fxtConfigVersion.cmake
  VERSION ${TollekSplitGroups_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/fxtConfig.cmake
  ${PROJECT_BINARY_DIR}/package/fxtConfigVersion.cmake
  ${FXT_ROOT}/cmake/package/FxtPlugin.cmake
  ${FXT_ROOT}/plugin/exports.map
  ${FXT_ROOT}/resources/resnote.cpp
  DESTINATION ${FXT_INSTALL_CMAKE})
install(FILES ${FXT_ROOT}/resources/tolleksplitgroups.rc DESTINATION ${FXT_INSTALL_CMAKE}
        RENAME plugin.rc)
