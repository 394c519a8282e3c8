# Writes the module's resource table: a C++ source holding the bytes of each resource file with
# its type and name, for builds whose platform has no resource compiler (the Win32 stand-in).
# Run as a script:  cmake -DMANIFEST=<file> -DOUTPUT=<file.cpp> -P EmbedResources.cmake
# Each manifest line is TYPE|NAME|PATH; the name is stored enclosed in double quotes, as the
# Windows resource compiler stores a quoted name.

if(NOT MANIFEST OR NOT OUTPUT)
  message(FATAL_ERROR "EmbedResources.cmake needs MANIFEST and OUTPUT")
endif()

file(STRINGS "${MANIFEST}" entries)
string(REPEAT "." 128 row) # 64 bytes of hex text per source line

set(arrays "")
set(table "")
set(index 0)
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 type)
  list(GET fields 1 name)
  list(GET fields 2 path)
  file(READ "${path}" hex HEX)
  string(REGEX REPLACE "(${row})" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" bytes "${hex}")
  string(REPLACE "\n" "\"\n  \"" bytes "${bytes}")
  string(APPEND arrays "// ${path}\nconst unsigned char kResource${index}[] =\n  \"${bytes}\";\n\n")
  string(APPEND table "  {\"${type}\", \"\\\"${name}\\\"\", kResource${index}, sizeof(kResource${index}) - 1},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from the editor's resource files; do not edit.\n"
"\n"
"#include \"compat/win32/api/Win32Resources.h\"\n"
"\n"
"namespace {\n"
"\n"
"${arrays}"
"const Win32ResourceEntry kEntries[] = {\n"
"${table}"
"};\n"
"\n"
"// The table belongs to the image it is linked into, from its loading to its unloading.\n"
"struct Registration\n"
"{\n"
"  Registration() { Win32RegisterModuleResources(kEntries, sizeof(kEntries) / sizeof(kEntries[0])); }\n"
"  ~Registration() { Win32UnregisterModuleResources(kEntries); }\n"
"} const kRegistration;\n"
"\n"
"} // namespace\n")
# Only a changed table touches the source, so an unchanged one is not compiled again.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
