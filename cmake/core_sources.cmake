# The portable core: every source of the plug-in but the platform layer and the
# library entry point. The same list builds the Windows DLL and the native library.
file(GLOB KVELTAR_CORE_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/common/*.cpp
  ${PROJECT_SOURCE_DIR}/src/sod/*.cpp
  ${PROJECT_SOURCE_DIR}/src/import/*.cpp
  ${PROJECT_SOURCE_DIR}/src/export/*.cpp
  ${PROJECT_SOURCE_DIR}/src/sidetext/*.cpp
  ${PROJECT_SOURCE_DIR}/src/plugin/*.cpp)
list(REMOVE_ITEM KVELTAR_CORE_SOURCES ${PROJECT_SOURCE_DIR}/src/plugin/dll_main.cpp)

# The reference host: a library of its parts, which every front end links, and the
# front ends. The library: the host's side of the plug-in interface (records, scene,
# plug-in loading, dialog driver, session), the scene file formats, and the roads
# through the plug-in. The command line is one front end, the tests use the library too.
file(GLOB KVELTAR_HOST_SCENE_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/tools/host/interface/*.cpp
  ${PROJECT_SOURCE_DIR}/tools/host/formats/*.cpp
  ${PROJECT_SOURCE_DIR}/tools/host/bridge/*.cpp)
# The plug-in is loaded from its module file; the WebAssembly build links it in instead.
list(REMOVE_ITEM KVELTAR_HOST_SCENE_SOURCES ${PROJECT_SOURCE_DIR}/tools/host/interface/plugin_loader_static.cpp)
file(GLOB KVELTAR_HOST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/host/cli/*.cpp)
# The web front end, beside the command line.
file(GLOB KVELTAR_WEB_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/host/web/*.cpp)

# Tests that run in both builds, natively and under Wine.
file(GLOB KVELTAR_UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*.cpp)
