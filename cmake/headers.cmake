# Each library target offers its headers from an include directory of its own (links to the
# sources under build/headers/), so a file can include only the headers of its own target and of
# the targets it links: "host -> plugin -> download" is held by the build, not by habit.
#   feedline_headers(TARGET PUBLIC|PRIVATE|INTERFACE FOLDER HEADER...)
function(feedline_headers target visibility folder)
  set(root ${CMAKE_BINARY_DIR}/headers/${target}-${visibility})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header IN LISTS ARGN)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder}/${header} ${root}/${folder}/${header}
         SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${visibility} ${root})
endfunction()
