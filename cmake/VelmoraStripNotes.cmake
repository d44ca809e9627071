# Run by CPack on the staged files, before it makes the package: removes the
# .comment and .note sections (the compiler's version strings) from every
# executable, as Debian's own packaging does.
if(NOT CPACK_VELMORA_STRIP)
  message(FATAL_ERROR "No strip program was found when Velmora was configured")
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(
      COMMAND "${CPACK_VELMORA_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
      RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Could not strip ${file}")
    endif()
  endif()
endforeach()
