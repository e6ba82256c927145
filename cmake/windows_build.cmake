# The Windows build: kveltar_64.dlx, the reference host and the tests that run under Wine.
add_compile_definitions(UNICODE _UNICODE __USE_MINGW_ANSI_STDIO=1 WINVER=0x0601 _WIN32_WINNT=0x0601)
# The C and C++ runtimes are linked into every module: the DLL imports system DLLs only.
set(KVELTAR_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

add_library(kveltar_core STATIC ${KVELTAR_CORE_SOURCES}
  ${PROJECT_SOURCE_DIR}/src/platform/windows/file_system_windows.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/windows/runtime_text_windows.cpp)
target_include_directories(kveltar_core PUBLIC ${PROJECT_SOURCE_DIR}/src)
# The dialogs' control ids are shared with the resource script.
target_include_directories(kveltar_core PUBLIC ${PROJECT_SOURCE_DIR}/resources)
target_link_libraries(kveltar_core PUBLIC user32 gdi32 comdlg32)

add_library(kveltar_plugin SHARED
  ${PROJECT_SOURCE_DIR}/src/plugin/dll_main.cpp
  ${PROJECT_SOURCE_DIR}/resources/kveltar.rc
  ${PROJECT_SOURCE_DIR}/resources/kveltar.def)
# The resource compiler's includes are not scanned: name them, so that a changed dialog
# rebuilds the resources.
set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/kveltar.rc PROPERTIES OBJECT_DEPENDS
  "${PROJECT_SOURCE_DIR}/resources/import_dialog.rc;${PROJECT_SOURCE_DIR}/resources/export_dialog.rc;${PROJECT_SOURCE_DIR}/resources/resource_ids.h")
set_target_properties(kveltar_plugin PROPERTIES OUTPUT_NAME kveltar_64 PREFIX "" SUFFIX ".dlx")
target_link_libraries(kveltar_plugin PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,kveltar_core>")
target_link_options(kveltar_plugin PRIVATE ${KVELTAR_STATIC_RUNTIME})
target_include_directories(kveltar_plugin PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/resources)

include(${PROJECT_SOURCE_DIR}/cmake/third_party_headers.cmake)
add_library(kveltar_host_scene STATIC ${KVELTAR_HOST_SCENE_SOURCES})
target_include_directories(kveltar_host_scene PUBLIC ${PROJECT_SOURCE_DIR}/tools/host ${PROJECT_SOURCE_DIR}/src)
kveltar_use_third_party_headers(kveltar_host_scene PUBLIC)
target_compile_definitions(kveltar_host_scene PUBLIC KVELTAR_VERSION_TEXT="${PROJECT_VERSION}")
# The marker edits of SOD files read and write their bytes with the plug-in's own code.
target_link_libraries(kveltar_host_scene PUBLIC kveltar_core user32 comdlg32)

add_executable(kveltar-host ${KVELTAR_HOST_SOURCES})
target_link_libraries(kveltar-host PRIVATE kveltar_host_scene)
target_link_options(kveltar-host PRIVATE ${KVELTAR_STATIC_RUNTIME} -municode)

if(BUILD_TESTING)
  include(${PROJECT_SOURCE_DIR}/tests/wine/wine_tests.cmake)
endif()
# The timing program that both builds share: `make bench-wine` runs it under Wine.
if(KVELTAR_BENCH)
  include(${PROJECT_SOURCE_DIR}/bench/benchmarks.cmake)
endif()
