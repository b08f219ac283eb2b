# Lays out the program folder beside the executables: the piece definitions, the help page and
# each sample board of data/boards as a board folder of its own. Run with -DSRC=data -DDST=bin.
file(MAKE_DIRECTORY ${DST})
file(GLOB files LIST_DIRECTORIES false ${SRC}/*)
file(COPY ${files} DESTINATION ${DST})
if(EXISTS ${SRC}/help)
  file(COPY ${SRC}/help DESTINATION ${DST})
endif()
file(GLOB boards LIST_DIRECTORIES true ${SRC}/boards/*)
foreach(board ${boards})
  if(IS_DIRECTORY ${board})
    # A sample board is laid anew, so that files the generator no longer makes do not linger.
    get_filename_component(name ${board} NAME)
    file(REMOVE_RECURSE ${DST}/${name})
    file(COPY ${board} DESTINATION ${DST})
  endif()
endforeach()
