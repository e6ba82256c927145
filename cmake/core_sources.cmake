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

# The reference host: its command line, and a library with everything else (scene,
# scene files, dialog driver, plug-in loader, commands) that the tests use too.
set(KVELTAR_HOST_SOURCES ${PROJECT_SOURCE_DIR}/tools/host/host_main.cpp)
file(GLOB KVELTAR_HOST_SCENE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/host/*.cpp)
list(REMOVE_ITEM KVELTAR_HOST_SCENE_SOURCES ${KVELTAR_HOST_SOURCES})

# Tests that run in both builds, natively and under Wine.
file(GLOB KVELTAR_UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*.cpp)
