# Writes the uninstaller's list of the program folder's files (NSIS Delete and RMDir lines), with each
# file's hash, so the list changes, and the installer is rebuilt, whenever any file of the folder does.
#   cmake -DPROGRAM_DIR=<folder> -DOUTPUT=<file.nsh> -P ListProgramFolder.cmake
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${PROGRAM_DIR} ${PROGRAM_DIR}/*)
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${PROGRAM_DIR} ${PROGRAM_DIR}/*)
list(SORT files)
set(folders ${entries})
list(REMOVE_ITEM folders ${files})
# Deepest first, so each folder is empty of what was installed by the time it is removed.
list(SORT folders ORDER DESCENDING)

set(text "; Written by the build from ${PROGRAM_DIR}: the files the installer copies.\n")
foreach(file ${files})
    file(SHA256 ${PROGRAM_DIR}/${file} hash)
    string(REPLACE "/" "\\" windows_path ${file})
    string(APPEND text "Delete \"$INSTDIR\\${windows_path}\" ; ${hash}\n")
endforeach()
foreach(folder ${folders})
    string(REPLACE "/" "\\" windows_path ${folder})
    string(APPEND text "RMDir \"$INSTDIR\\${windows_path}\"\n")
endforeach()

# Rewritten only when it changed, so an unchanged program folder rebuilds no installer.
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} old_text)
endif()
if(NOT text STREQUAL old_text)
    file(WRITE ${OUTPUT} "${text}")
endif()
