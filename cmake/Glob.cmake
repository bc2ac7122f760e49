# bw_glob_sources(<var> <folder>...): every .cpp below the folders.
function(bw_glob_sources var)
  set(all)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND all ${found})
  endforeach()
  if(NOT all)
    # A library with no sources yet still has to be a valid target.
    set(all ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  set(${var} ${all} PARENT_SCOPE)
endfunction()

# bw_leaf_dirs(<var> <root>): the folders below root that hold .cpp files
# directly, relative to root.
function(bw_leaf_dirs var root)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${root}/*.cpp)
  set(dirs)
  foreach(f IN LISTS found)
    get_filename_component(d ${f} DIRECTORY)
    file(RELATIVE_PATH rel ${root} ${d})
    list(APPEND dirs "${rel}")
  endforeach()
  list(REMOVE_DUPLICATES dirs)
  set(${var} ${dirs} PARENT_SCOPE)
endfunction()
