# Tests of the Windows build, run under Wine (see tests/wine/run_in_wine.sh). The
# portable unit tests are built again for Windows, so that they also check the real
# Win32 and runtime calls; the end-to-end tests load the real kveltar_64.dlx.
set(KVELTAR_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows build")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${KVELTAR_GTEST_SOURCE} googletest EXCLUDE_FROM_ALL)

set(KVELTAR_WINE ${PROJECT_SOURCE_DIR}/tests/wine/run_in_wine.sh)
set(KVELTAR_WINE_ENV "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all")

add_executable(kveltar_unit_tests ${KVELTAR_UNIT_TEST_SOURCES})
target_include_directories(kveltar_unit_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(kveltar_unit_tests PRIVATE kveltar_core kveltar_host_scene gtest_main)
target_link_options(kveltar_unit_tests PRIVATE ${KVELTAR_STATIC_RUNTIME})
target_compile_definitions(kveltar_unit_tests PRIVATE KVELTAR_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
  KVELTAR_FUZZ_CORPUS="${PROJECT_SOURCE_DIR}/fuzz/corpus")

file(GLOB KVELTAR_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/wine/*.cpp)
add_executable(kveltar_wine_tests ${KVELTAR_WINE_TEST_SOURCES})
target_include_directories(kveltar_wine_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(kveltar_wine_tests PRIVATE kveltar_core kveltar_host_scene gtest version)
target_link_options(kveltar_wine_tests PRIVATE ${KVELTAR_STATIC_RUNTIME} -municode)
target_compile_definitions(kveltar_wine_tests PRIVATE
  KVELTAR_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data" KVELTAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
add_dependencies(kveltar_wine_tests kveltar_plugin kveltar-host)

add_test(NAME unit_tests_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar_unit_tests>)
add_test(NAME wine_end_to_end COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar_wine_tests> $<TARGET_FILE:kveltar_plugin>)
add_test(NAME host_describe_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar-host> describe $<TARGET_FILE:kveltar_plugin>)
set_tests_properties(host_describe_windows PROPERTIES
  PASS_REGULAR_EXPRESSION "PluginProc\\(describe\\): 1.*RegisterExtension: called 1 time\\(s\\), record same, extension wide \"sod\"")
set_tests_properties(unit_tests_windows wine_end_to_end host_describe_windows PROPERTIES ENVIRONMENT "${KVELTAR_WINE_ENV}")
set_tests_properties(unit_tests_windows wine_end_to_end PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR})

add_test(NAME dll_exports_and_imports COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/check_dll.sh $<TARGET_FILE:kveltar_plugin>)

add_test(NAME host_export_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar-host> export
         ${PROJECT_SOURCE_DIR}/tests/data/export/ship.obj ${CMAKE_BINARY_DIR}/host_export_ship.sod --game 2
         --hardpoints ${PROJECT_SOURCE_DIR}/tests/data/export/ship_hps.txt)
set_tests_properties(host_export_windows PROPERTIES ENVIRONMENT "${KVELTAR_WINE_ENV}"
                     PASS_REGULAR_EXPRESSION "^export: 1\r?\nwrite: 1\r?\n$")

# The host's read command on a file that does not exist prints the plug-in's message.
add_test(NAME host_read_missing_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar-host> read
         --plugin $<TARGET_FILE:kveltar_plugin> no-such-file.sod)
set_tests_properties(host_read_missing_windows PROPERTIES ENVIRONMENT "${KVELTAR_WINE_ENV}"
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  PASS_REGULAR_EXPRESSION "result: 0\nerrorText: wide \"Could not open file for reading.\" narrow \"Could not open file for reading.\"")

# kveltar-host.exe import on the project's sample model through the real DLL.
configure_file(${PROJECT_SOURCE_DIR}/docs/sample/frigate.sod ${CMAKE_BINARY_DIR}/host-import/frigate.sod COPYONLY)
add_test(NAME host_import_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar-host> import frigate.sod --json
         --extract-sprites --convert-sprites --deselect engine_port)
set_tests_properties(host_import_windows PROPERTIES ENVIRONMENT "${KVELTAR_WINE_ENV}"
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/host-import
  PASS_REGULAR_EXPRESSION "\"read\":1,\"errorText\":\"\",\"import\":1,.*\"parts\":\\[\\{\"name\":\"hull\",\"narrowName\":\"hull\"\\},\\{\"name\":\"engine\",\"narrowName\":\"engine\"\\},\\{\"name\":\"running_light\",\"narrowName\":\"running_light\"\\}\\]")
add_test(NAME host_import_refused_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar-host> import README.md)
set_tests_properties(host_import_refused_windows PROPERTIES ENVIRONMENT "${KVELTAR_WINE_ENV}"
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  PASS_REGULAR_EXPRESSION "could not read .*README.md: SOD file header ID, Storm3D_SW, not found.")

# kveltar-host.exe convert through the real DLL: the sample model to glTF and back to
# SOD, the glTF file checked by the Khronos validator (a program of the build machine).
set(KVELTAR_GLTF_WRITTEN ${CMAKE_BINARY_DIR}/gltf-written)
file(MAKE_DIRECTORY ${KVELTAR_GLTF_WRITTEN})
set(KVELTAR_SAMPLE_SUMMARY "3 meshes, 36 triangles, 3 materials, 3 hardpoints, 1 emitters, 1 sprites")
# The glTF file holds every material, and so does the SOD file written back.
set(KVELTAR_SAMPLE_BACK_SUMMARY "3 meshes, 36 triangles, 3 materials, 3 hardpoints, 1 emitters, 1 sprites")
add_test(NAME host_convert_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar-host> convert
         ${PROJECT_SOURCE_DIR}/docs/sample/frigate.sod ${KVELTAR_GLTF_WRITTEN}/frigate.glb)
set_tests_properties(host_convert_windows PROPERTIES ENVIRONMENT "${KVELTAR_WINE_ENV}" FIXTURES_SETUP gltf_written
  PASS_REGULAR_EXPRESSION "converted .*frigate.sod to .*frigate.glb: ${KVELTAR_SAMPLE_SUMMARY}")
add_test(NAME host_convert_back_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar-host> convert
         ${KVELTAR_GLTF_WRITTEN}/frigate.glb ${KVELTAR_GLTF_WRITTEN}/frigate_back.sod --write-textures)
set_tests_properties(host_convert_back_windows PROPERTIES ENVIRONMENT "${KVELTAR_WINE_ENV}"
  FIXTURES_REQUIRED gltf_written
  PASS_REGULAR_EXPRESSION "converted .*frigate.glb to .*frigate_back.sod: ${KVELTAR_SAMPLE_BACK_SUMMARY}")
add_test(NAME gltf_validator_windows COMMAND node ${PROJECT_SOURCE_DIR}/tests/gltf/validate.js
         ${KVELTAR_GLTF_WRITTEN}/frigate.glb)
set_tests_properties(gltf_validator_windows PROPERTIES FIXTURES_REQUIRED gltf_written)

# kveltar-host.exe check and batch convert of a small mod folder through the real DLL:
# the sample model with its textures, again at a path of more than 300 characters, a
# file that is no SOD file at all, a link back to the folder and a link to nothing
# (which Wine leaves out of folder listings: it must only not stop the search).
set(KVELTAR_MOD ${CMAKE_BINARY_DIR}/host-mod/mod)
set(KVELTAR_DEEP ${KVELTAR_MOD})
foreach(n RANGE 1 9)
  string(APPEND KVELTAR_DEEP /folder_nested_${n}_deep_below_the_mod_)
endforeach()
foreach(file frigate.sod frigate_engine.tga frigate_hull.tga frigate_plating.tga)
  configure_file(${PROJECT_SOURCE_DIR}/docs/sample/${file} ${KVELTAR_MOD}/${file} COPYONLY)
  configure_file(${PROJECT_SOURCE_DIR}/docs/sample/${file} ${KVELTAR_DEEP}/${file} COPYONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/README.md ${KVELTAR_MOD}/broken.sod COPYONLY)
file(MAKE_DIRECTORY ${KVELTAR_MOD}/sub)
file(CREATE_LINK .. ${KVELTAR_MOD}/sub/loop SYMBOLIC)
file(CREATE_LINK nowhere.sod ${KVELTAR_MOD}/gone.sod SYMBOLIC)
set(KVELTAR_MOD_FAULTS "cannot search|No such file")
add_test(NAME host_check_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar-host> check mod)
set_tests_properties(host_check_windows PROPERTIES ENVIRONMENT "${KVELTAR_WINE_ENV}"
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/host-mod FAIL_REGULAR_EXPRESSION "${KVELTAR_MOD_FAULTS}"
  PASS_REGULAR_EXPRESSION "mod.broken.sod: not read: 1 errors, 0 warnings, 0 infos\r?\n  error unreadable: the plug-in could not read .*broken.sod: SOD file header ID, Storm3D_SW, not found.\r?\nmod.folder_nested_1.*_mod_.frigate.sod: SOD 1.80 .Storm3D_SW., 3 materials, .*hardpoints: no problems\r?\nmod.frigate.sod: SOD 1.80 .Storm3D_SW., 3 materials, .*hardpoints: no problems\r?\nmod.sub.loop: not read: 0 errors, 1 warnings, 0 infos\r?\n  warning not-walked: a link to a folder searched already .*\r?\nchecked 4 files: 1 with errors")
add_test(NAME host_convert_batch_windows COMMAND ${KVELTAR_WINE} $<TARGET_FILE:kveltar-host> convert mod --to glb
         --out-dir out)
set_tests_properties(host_convert_batch_windows PROPERTIES ENVIRONMENT "${KVELTAR_WINE_ENV}"
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/host-mod FAIL_REGULAR_EXPRESSION "${KVELTAR_MOD_FAULTS}"
  PASS_REGULAR_EXPRESSION "converted .*_mod_.frigate.sod to .*_mod_.frigate.glb: ${KVELTAR_SAMPLE_SUMMARY}.*converted .*mod.frigate.sod to .*frigate.glb: ${KVELTAR_SAMPLE_SUMMARY}.*converted 2 files, 2 failed:\r?\n  .*broken.sod: the plug-in could not read.*\r?\n  .*loop: skipped: a link to a folder searched already")
