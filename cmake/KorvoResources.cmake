# korvo_add_resources(<target> <TYPE> <folder> [<TYPE> <folder>]...)
#
# Embeds every file below each folder as a Windows resource of the given type (BITMAP or RCDATA), named by the
# file's name without its extension, in capitals: resources/bitmaps/ClosedFolder.bmp is the BITMAP "CLOSEDFOLDER".
# The target is an OBJECT library whose static initialiser registers the table with the platform, so a program
# gets the resources by linking it, and the linker cannot drop them.
function(korvo_add_resources target)
  set(manifest "")
  set(inputs "")
  set(seen "")
  set(args ${ARGN})
  list(LENGTH args count)
  math(EXPR odd "${count} % 2")
  if(count EQUAL 0 OR odd)
    message(FATAL_ERROR "korvo_add_resources: give pairs of a resource type and a folder")
  endif()
  while(args)
    list(POP_FRONT args type folder)
    if(NOT type MATCHES "^(BITMAP|RCDATA)$")
      message(FATAL_ERROR "korvo_add_resources: unknown resource type ${type}")
    endif()
    file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false "${folder}/*")
    list(SORT files)
    foreach(file IN LISTS files)
      get_filename_component(fileName "${file}" NAME)
      if(fileName MATCHES "^\\.")
        continue()  # editors' and version control's files
      endif()
      get_filename_component(stem "${file}" NAME_WLE)
      string(TOUPPER "${stem}" name)
      if(NOT name MATCHES "^[A-Z0-9_]+$")
        message(FATAL_ERROR "Resource ${file}: a resource name has only letters, digits and underscores")
      endif()
      if("${type}:${name}" IN_LIST seen)
        message(FATAL_ERROR "Resource ${file}: there is already a ${type} resource named ${name}")
      endif()
      if(file MATCHES ";")
        message(FATAL_ERROR "Resource ${file}: a path with a semicolon cannot be embedded")
      endif()
      list(APPEND seen "${type}:${name}")
      list(APPEND inputs "${file}")
      string(APPEND manifest "${type}\t${name}\t${file}\n")
    endforeach()
  endwhile()

  # The manifest changes only when the list of files does, so adding a file rebuilds the table and nothing else.
  set(manifestFile "${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest")
  file(WRITE "${manifestFile}.new" "${manifest}")
  configure_file("${manifestFile}.new" "${manifestFile}" COPYONLY)
  if(WIN32)
    # Built for Windows, the files are real resources that the resource compiler puts into the program, and the
    # program finds them with Windows' own FindResource and LoadBitmap.
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
    string(REGEX REPLACE "([A-Z]+)\t([A-Z0-9_]+)\t([^\n]*)" "\\2 \\1 \"\\3\"" script "${manifest}")
    file(WRITE "${rc}.new" "${script}")
    configure_file("${rc}.new" "${rc}" COPYONLY)
    set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${inputs}")
    add_library(${target} OBJECT "${rc}")
    return()
  endif()
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp")
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedResources.cmake")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DMANIFEST=${manifestFile}" "-DOUTPUT=${output}" -P "${script}"
    DEPENDS "${manifestFile}" "${script}" ${inputs}
    COMMENT "Embedding the resources of ${target}"
    VERBATIM)
  add_library(${target} OBJECT "${output}")
endfunction()
