# The WebAssembly build (emscripten, wasm32): the plug-in's portable core over the
# native stand-ins of the Win32 interface, the host library and the web front end,
# linked statically into one module. The host still calls the plug-in only through
# PluginProc and PluginVersion; files pass through the in-memory file system.
add_library(kveltar_core STATIC ${KVELTAR_CORE_SOURCES}
  ${PROJECT_SOURCE_DIR}/src/platform/native/codepage_standin.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/native/file_system_native.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/native/runtime_text_native.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/native/ui_standin.cpp)
target_include_directories(kveltar_core PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/resources)

include(${PROJECT_SOURCE_DIR}/cmake/third_party_headers.cmake)
set(KVELTAR_WASM_HOST_SOURCES ${KVELTAR_HOST_SCENE_SOURCES})
list(REMOVE_ITEM KVELTAR_WASM_HOST_SOURCES ${PROJECT_SOURCE_DIR}/tools/host/interface/plugin_loader.cpp)
add_library(kveltar_host_scene STATIC ${KVELTAR_WASM_HOST_SOURCES}
  ${PROJECT_SOURCE_DIR}/tools/host/interface/plugin_loader_static.cpp)
target_include_directories(kveltar_host_scene PUBLIC ${PROJECT_SOURCE_DIR}/tools/host)
kveltar_use_third_party_headers(kveltar_host_scene PUBLIC)
target_compile_definitions(kveltar_host_scene PUBLIC KVELTAR_VERSION_TEXT="${PROJECT_VERSION}")
target_link_libraries(kveltar_host_scene PUBLIC kveltar_core)

# The host library throws and catches (the JSON and glTF libraries report errors so);
# the plug-in's core never does, and is built without the cost of catching.
target_compile_options(kveltar_core PRIVATE -sDISABLE_EXCEPTION_CATCHING=1)
target_compile_options(kveltar_host_scene PUBLIC -sDISABLE_EXCEPTION_CATCHING=0)

# One ES module factory (kveltar-wasm.js) and its kveltar-wasm.wasm. The glue is the
# browser's; under node, kveltar.js reads the .wasm itself and hands it over, so that
# node needs no flag and no fetch of a file URL.
add_executable(kveltar-wasm ${KVELTAR_WEB_SOURCES})
target_link_libraries(kveltar-wasm PRIVATE kveltar_host_scene kveltar_core)
set_target_properties(kveltar-wasm PROPERTIES SUFFIX ".js")
target_link_options(kveltar-wasm PRIVATE
  -sDISABLE_EXCEPTION_CATCHING=0 -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=createKveltarWasm
  -sENVIRONMENT=web,worker -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=33554432
  -sEXPORTED_FUNCTIONS=_kveltar_call
  -sEXPORTED_RUNTIME_METHODS=FS,ccall
  -sFILESYSTEM=1 -sINCOMING_MODULE_JS_API=locateFile,wasmBinary,print,printErr)
