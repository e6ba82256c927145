# The native build: the portable core over stand-ins of the Win32 interface, the
# native plug-in module, the reference host, unit tests, fuzz targets and benchmarks.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
if(KVELTAR_PORTABLE)
  # The Linux release runs wherever it is unpacked: the host and the plug-in find the
  # stand-in library beside them ($ORIGIN), and need nothing of the C++ runtime.
  set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
  set(KVELTAR_PORTABLE_LINK -static-libstdc++ -static-libgcc -Wl,--exclude-libs,libstdc++.a:libsupc++.a:libgcc.a:libgcc_eh.a)
endif()

# The stand-ins are one shared library, so that the plug-in module and the host that
# loads it script the same desktop.
set(KVELTAR_STANDIN_SOURCES
  ${PROJECT_SOURCE_DIR}/src/platform/native/codepage_standin.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/native/file_system_native.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/native/runtime_text_native.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/native/ui_standin.cpp)
add_library(kveltar_win32_standin SHARED ${KVELTAR_STANDIN_SOURCES})
target_include_directories(kveltar_win32_standin PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_options(kveltar_win32_standin PRIVATE ${KVELTAR_PORTABLE_LINK})

add_library(kveltar_core STATIC ${KVELTAR_CORE_SOURCES})
target_include_directories(kveltar_core PUBLIC ${PROJECT_SOURCE_DIR}/src)
# The dialogs' control ids are shared with the resource script.
target_include_directories(kveltar_core PUBLIC ${PROJECT_SOURCE_DIR}/resources)
target_link_libraries(kveltar_core PUBLIC kveltar_win32_standin)
set_target_properties(kveltar_core PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# The native plug-in module: exports PluginProc and PluginVersion only.
add_library(kveltar_plugin MODULE ${PROJECT_SOURCE_DIR}/src/platform/native/module_entry.cpp)
set_target_properties(kveltar_plugin PROPERTIES OUTPUT_NAME kveltar PREFIX "" CXX_VISIBILITY_PRESET hidden)
target_link_libraries(kveltar_plugin PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,kveltar_core>")
target_link_options(kveltar_plugin PRIVATE ${KVELTAR_PORTABLE_LINK})

include(${PROJECT_SOURCE_DIR}/cmake/third_party_headers.cmake)
if(KVELTAR_PORTABLE)
  include(${PROJECT_SOURCE_DIR}/cmake/static_host.cmake)
else()
  add_library(kveltar_host_scene STATIC ${KVELTAR_HOST_SCENE_SOURCES})
  target_include_directories(kveltar_host_scene PUBLIC ${PROJECT_SOURCE_DIR}/tools/host)
  kveltar_use_third_party_headers(kveltar_host_scene PUBLIC)
  target_compile_definitions(kveltar_host_scene PUBLIC KVELTAR_VERSION_TEXT="${PROJECT_VERSION}")
  # The host calls the plug-in through its interface; the marker edits of SOD files read
  # and write their bytes with the plug-in's own code, linked in.
  target_link_libraries(kveltar_host_scene PUBLIC kveltar_core kveltar_win32_standin ${CMAKE_DL_LIBS})

  add_executable(kveltar-host ${KVELTAR_HOST_SOURCES})
  target_link_libraries(kveltar-host PRIVATE kveltar_host_scene ${CMAKE_DL_LIBS})
  # The plug-in module is found beside the host.
  add_dependencies(kveltar-host kveltar_plugin)
endif()

if(BUILD_TESTING)
  include(${PROJECT_SOURCE_DIR}/tests/native_tests.cmake)
endif()
if(KVELTAR_FUZZ AND EXISTS ${PROJECT_SOURCE_DIR}/fuzz/fuzz_targets.cmake)
  include(${PROJECT_SOURCE_DIR}/fuzz/fuzz_targets.cmake)
endif()
if(KVELTAR_BENCH AND NOT KVELTAR_SANITIZE AND NOT KVELTAR_FUZZ AND EXISTS ${PROJECT_SOURCE_DIR}/bench/benchmarks.cmake)
  include(${PROJECT_SOURCE_DIR}/bench/benchmarks.cmake)
endif()
