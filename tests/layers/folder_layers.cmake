# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a folder above its own: core/ sees only
# itself, widgets/ sees core/, scores/ and info/ see core/ and widgets/, and
# only app/ may include the windows of scores/ and info/; the record server
# in records/ stands on its own.
#   cmake -DSOURCE_DIR=<project root> -P folder_layers.cmake
set(allowed_core core)
set(allowed_widgets core widgets)
set(allowed_scores core widgets scores)
set(allowed_info core widgets info)
set(allowed_app core widgets scores info app)
set(allowed_records records)
set(project_folders core widgets scores info app records)

set(violations "")
foreach(folder IN LISTS project_folders)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX MATCH "\"([a-z_]+)/" _ "${line}")
      set(target "${CMAKE_MATCH_1}")
      list(FIND project_folders "${target}" known)
      list(FIND allowed_${folder} "${target}" permitted)
      if(known GREATER -1 AND permitted EQUAL -1)
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
        string(APPEND violations "  ${shown}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "A lower folder includes a higher one:\n${violations}")
endif()
