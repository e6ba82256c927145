# Native tests: the portable unit tests plus those that script the stand-in desktop,
# and end-to-end runs of the native reference host on the native plug-in module.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB KVELTAR_NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/*.cpp)
add_executable(kveltar_unit_tests ${KVELTAR_UNIT_TEST_SOURCES} ${KVELTAR_NATIVE_TEST_SOURCES})
target_include_directories(kveltar_unit_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tools)
target_link_libraries(kveltar_unit_tests PRIVATE kveltar_core kveltar_host_scene GTest::gtest_main)
target_compile_definitions(kveltar_unit_tests PRIVATE
  KVELTAR_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
  KVELTAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  KVELTAR_FUZZ_CORPUS="${PROJECT_SOURCE_DIR}/fuzz/corpus"
  KVELTAR_NATIVE_PLUGIN="$<TARGET_FILE:kveltar_plugin>"
  KVELTAR_HOST="$<TARGET_FILE:kveltar-host>"
  KVELTAR_GLTF_WRITTEN="${CMAKE_BINARY_DIR}/gltf-written")
add_dependencies(kveltar_unit_tests kveltar_plugin kveltar-host)
gtest_discover_tests(kveltar_unit_tests WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60)

add_test(NAME host_describe_native COMMAND kveltar-host describe $<TARGET_FILE:kveltar_plugin>)
set_tests_properties(host_describe_native PROPERTIES
  PASS_REGULAR_EXPRESSION "PluginProc\\(describe\\): 1.*RegisterExtension: called 1 time\\(s\\), record same, extension wide \"sod\"")

add_test(NAME host_export_native COMMAND kveltar-host export ${PROJECT_SOURCE_DIR}/tests/data/export/ship.obj
         ${CMAKE_BINARY_DIR}/host_export_ship.sod --game 2 --hardpoints ${PROJECT_SOURCE_DIR}/tests/data/export/ship_hps.txt)
set_tests_properties(host_export_native PROPERTIES PASS_REGULAR_EXPRESSION "^export: 1\nwrite: 1\n$")

add_test(NAME host_read_missing_native COMMAND kveltar-host read no-such-file.sod)
set_tests_properties(host_read_missing_native PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  PASS_REGULAR_EXPRESSION "result: 0\nerrorText: wide \"Could not open file for reading.\" narrow \"Could not open file for reading.\"")

add_test(NAME host_set_markers_native COMMAND kveltar-host set-markers ${PROJECT_SOURCE_DIR}/docs/sample/frigate.sod
         ${CMAKE_BINARY_DIR}/host_set_markers.sod --hardpoints ${PROJECT_SOURCE_DIR}/tests/data/export/ship_hps.txt)
set_tests_properties(host_set_markers_native PROPERTIES PASS_REGULAR_EXPRESSION "^set markers of frigate.sod into host_set_markers.sod \\(every other byte kept\\): hardpoints 0 kept, 2 written, 3 dropped; emitters kept as they were; sprites kept as they were\n$")

# kveltar-host import on the project's sample model, each test in a folder of its own
# (the side files are written beside the SOD file).
foreach(name select extract)
  configure_file(${PROJECT_SOURCE_DIR}/docs/sample/frigate.sod ${CMAKE_BINARY_DIR}/host-import-${name}/frigate.sod COPYONLY)
endforeach()
add_test(NAME host_import_native COMMAND kveltar-host import frigate.sod --json --select-none --select hull)
set_tests_properties(host_import_native PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/host-import-select
  PASS_REGULAR_EXPRESSION "\"read\":1,\"errorText\":\"\",\"import\":1,.*\"parts\":\\[\\{\"name\":\"hull\",\"narrowName\":\"hull\"\\}\\],")
add_test(NAME host_import_extract_native COMMAND kveltar-host import frigate.sod --extract-hardpoints --convert-hardpoints --obj frigate.obj)
set_tests_properties(host_import_extract_native PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/host-import-extract
  PASS_REGULAR_EXPRESSION "import: 1\nscene: 3 materials, 36 vertices, 6 parts, 6 polygon sets, 39 faces, finished\n  material 0 \"[a-z]+\", map 0 \"${CMAKE_BINARY_DIR}/host-import-extract/frigate_.*obj: frigate.obj, frigate.mtl")
add_test(NAME host_import_refused_native COMMAND kveltar-host import ${PROJECT_SOURCE_DIR}/README.md)
set_tests_properties(host_import_refused_native PROPERTIES
  PASS_REGULAR_EXPRESSION "could not read .*README.md: SOD file header ID, Storm3D_SW, not found.")

# kveltar-host convert on the sample model through the native plug-in, to glTF in both
# forms and back; every glTF file the tests write (here and in the round trip tests,
# run again as one step) then goes through the Khronos validator. (Blender's importer
# reads what convert writes in the add-on's tests.)
set(KVELTAR_GLTF_WRITTEN ${CMAKE_BINARY_DIR}/gltf-written)
file(MAKE_DIRECTORY ${KVELTAR_GLTF_WRITTEN})
set(KVELTAR_SAMPLE ${PROJECT_SOURCE_DIR}/docs/sample/frigate.sod)
set(KVELTAR_SAMPLE_SUMMARY "3 meshes, 36 triangles, 3 materials, 3 hardpoints, 1 emitters, 1 sprites")
# The glTF file holds every material, and so does the SOD file written back.
set(KVELTAR_SAMPLE_BACK_SUMMARY "3 meshes, 36 triangles, 3 materials, 3 hardpoints, 1 emitters, 1 sprites")
foreach(kind glb gltf)
  add_test(NAME host_convert_${kind}_native COMMAND kveltar-host convert ${KVELTAR_SAMPLE} ${KVELTAR_GLTF_WRITTEN}/frigate.${kind})
  set_tests_properties(host_convert_${kind}_native PROPERTIES FIXTURES_SETUP gltf_written
    PASS_REGULAR_EXPRESSION "converted .*frigate.sod to .*frigate.${kind}: ${KVELTAR_SAMPLE_SUMMARY}")
endforeach()
add_test(NAME gltf_round_trip_files COMMAND kveltar_unit_tests --gtest_filter=GltfRoundTrip.*)
set_tests_properties(gltf_round_trip_files PROPERTIES FIXTURES_SETUP gltf_written)
add_test(NAME gltf_validator COMMAND sh -c "node '${PROJECT_SOURCE_DIR}/tests/gltf/validate.js' '${KVELTAR_GLTF_WRITTEN}'/*.gl*")
set_tests_properties(gltf_validator PROPERTIES FIXTURES_REQUIRED gltf_written)
# The converted sample back to SOD.
add_test(NAME host_convert_back_native COMMAND kveltar-host convert ${KVELTAR_GLTF_WRITTEN}/frigate.gltf
         ${CMAKE_BINARY_DIR}/frigate_back.sod --game 1)
set_tests_properties(host_convert_back_native PROPERTIES FIXTURES_REQUIRED gltf_written
  PASS_REGULAR_EXPRESSION "converted .*frigate.gltf to .*frigate_back.sod: ${KVELTAR_SAMPLE_BACK_SUMMARY}")
# The sample to SOD again through the plug-in's import and export, its hardpoints from a side file.
add_test(NAME host_convert_sod_hardpoints_native COMMAND kveltar-host convert ${KVELTAR_SAMPLE}
         ${CMAKE_BINARY_DIR}/frigate_rehardpointed.sod --hardpoints ${PROJECT_SOURCE_DIR}/tests/data/export/ship_hps.txt)
set_tests_properties(host_convert_sod_hardpoints_native PROPERTIES
  PASS_REGULAR_EXPRESSION "converted .*frigate.sod to .*frigate_rehardpointed.sod: 3 meshes, 36 triangles, 2 materials, 2 hardpoints, 1 emitters, 1 sprites")
