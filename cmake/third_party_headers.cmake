# The header-only libraries of the build machine (Debian packages) that the reference
# host and the tests use: the OBJ and glTF loaders, the JSON library, the image codecs
# and the command-line parser. They are gathered in one folder of the build, so that
# the cross build sees them and nothing else of /usr/include, and included as system
# headers: their own warnings are not ours.
set(KVELTAR_THIRD_PARTY_HEADERS ${CMAKE_BINARY_DIR}/third-party)
file(MAKE_DIRECTORY ${KVELTAR_THIRD_PARTY_HEADERS})
foreach(entry nlohmann CLI stb tiny_gltf.h tiny_obj_loader.h)
  if(NOT EXISTS /usr/include/${entry})
    message(FATAL_ERROR "/usr/include/${entry} is missing: run `make deps`")
  endif()
  if(NOT EXISTS ${KVELTAR_THIRD_PARTY_HEADERS}/${entry})
    file(CREATE_LINK /usr/include/${entry} ${KVELTAR_THIRD_PARTY_HEADERS}/${entry} SYMBOLIC)
  endif()
endforeach()

# Adds the folder to a target's system include path (the glTF loader includes the
# image codecs by their bare names).
function(kveltar_use_third_party_headers target scope)
  target_include_directories(${target} SYSTEM ${scope} ${KVELTAR_THIRD_PARTY_HEADERS}
                             ${KVELTAR_THIRD_PARTY_HEADERS}/stb)
endfunction()
