# cmake -DROOT=... -P CheckBareIncludes.cmake
# The layered libraries include each other's headers by bare file name, and each library's
# include path holds only its own folder and those of the libraries it links. A folder-qualified
# include ("renderer/GLBackend.h") would walk down from a folder on the path into a sub-folder
# that belongs to another library, around the layering; this check fails on any.
set(layers IPlug graphics Examples/Corvane)
set(found)
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE files ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*/")
    foreach(line IN LISTS lines)
      file(RELATIVE_PATH rel ${ROOT} ${file})
      list(APPEND found "${rel}: ${line}")
    endforeach()
  endforeach()
endforeach()
if(found)
  string(REPLACE ";" "\n  " found "${found}")
  message(FATAL_ERROR "folder-qualified includes in the layered libraries:\n  ${found}")
endif()
