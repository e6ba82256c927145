# The Linux release's host: one static executable with the plug-in linked in, as the
# WebAssembly build links it. It needs nothing of the system at run time (no program
# interpreter, no shared library), so it runs on any x86-64 Linux kernel whatever its
# C library. The host still calls the plug-in only through PluginProc and
# PluginVersion; the plug-in's core and the stand-ins are linked in whole, as in the
# plug-in module, so that the plug-in and the host's dialog driver script one desktop.
# Nothing here may reach glibc's run-time loading (dlopen, NSS, iconv): the link's
# warnings about them are errors.
set(KVELTAR_STATIC_HOST_SOURCES ${KVELTAR_HOST_SCENE_SOURCES})
list(REMOVE_ITEM KVELTAR_STATIC_HOST_SOURCES ${PROJECT_SOURCE_DIR}/tools/host/interface/plugin_loader.cpp)
add_library(kveltar_host_scene STATIC ${KVELTAR_STATIC_HOST_SOURCES}
  ${PROJECT_SOURCE_DIR}/tools/host/interface/plugin_loader_static.cpp)
target_include_directories(kveltar_host_scene PUBLIC ${PROJECT_SOURCE_DIR}/tools/host ${PROJECT_SOURCE_DIR}/src)
kveltar_use_third_party_headers(kveltar_host_scene PUBLIC)
target_compile_definitions(kveltar_host_scene PUBLIC KVELTAR_VERSION_TEXT="${PROJECT_VERSION}")

add_executable(kveltar-host ${KVELTAR_HOST_SOURCES} $<TARGET_OBJECTS:kveltar_core>
  $<TARGET_OBJECTS:kveltar_win32_standin>)
target_link_libraries(kveltar-host PRIVATE kveltar_host_scene)
target_link_options(kveltar-host PRIVATE -static -Wl,--fatal-warnings)
