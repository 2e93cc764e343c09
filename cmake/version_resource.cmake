# Gives a Windows target the version resource shown in its file's Properties (Details tab).
#   feedline_version_resource(TARGET FILE_NAME FILE_TYPE DESCRIPTION)
# FILE_TYPE is VFT_DLL or VFT_APP.
function(feedline_version_resource target file_name file_type description)
  get_filename_component(internal_name ${file_name} NAME_WE)
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${internal_name}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
endfunction()
