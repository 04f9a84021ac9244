# Assembles the kit (cmake -P): copies KIT_FILES, a list of <path in kit>=<file>,
# into KIT_DIR/KIT_NAME, writes SHA256SUMS of every file in the sha256sum
# layout, and zips the folder into KIT_ZIP.
set(_root ${KIT_DIR}/${KIT_NAME})
file(REMOVE_RECURSE ${KIT_DIR})
foreach(_entry IN LISTS KIT_FILES)
    string(FIND "${_entry}" "=" _split)
    string(SUBSTRING "${_entry}" 0 ${_split} _path)
    math(EXPR _split "${_split} + 1")
    string(SUBSTRING "${_entry}" ${_split} -1 _source)
    get_filename_component(_folder ${_root}/${_path} DIRECTORY)
    file(MAKE_DIRECTORY ${_folder})
    file(COPY_FILE ${_source} ${_root}/${_path})
endforeach()

file(GLOB_RECURSE _contents RELATIVE ${_root} ${_root}/*)
list(SORT _contents)
set(_sums "")
foreach(_path IN LISTS _contents)
    file(SHA256 ${_root}/${_path} _hash)
    string(APPEND _sums "${_hash}  ${_path}\n")
endforeach()
file(WRITE ${_root}/SHA256SUMS "${_sums}")

file(REMOVE ${KIT_ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${KIT_ZIP} --format=zip ${KIT_NAME}
    WORKING_DIRECTORY ${KIT_DIR} RESULT_VARIABLE _zipped)
if(NOT _zipped EQUAL 0)
    message(FATAL_ERROR "could not write ${KIT_ZIP}")
endif()
