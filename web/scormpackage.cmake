# Writes the SCORM 1.2 package (cmake -P, with SITE, TEMPLATE, VERSION, STAGING and OUTPUT): the
# site's files as they are, but for the web server's .htaccess, and imsmanifest.xml at the root,
# filled in from TEMPLATE with the app's name from the site's manifest and every file listed.
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files .htaccess)
list(SORT files)

file(READ ${SITE}/manifest.webmanifest app)
string(JSON title GET "${app}" name)
string(REPLACE "&" "&amp;" title "${title}")
string(REPLACE "<" "&lt;" title "${title}")

set(entries "")
foreach(file IN LISTS files)
    string(APPEND entries "      <file href=\"${file}\"/>\n")
endforeach()
string(REGEX REPLACE "\n$" "" entries "${entries}")

file(READ ${TEMPLATE} manifest)
string(REPLACE "@TITLE@" "${title}" manifest "${manifest}")
string(REPLACE "@VERSION@" "${VERSION}" manifest "${manifest}")
string(REPLACE "@FILES@" "${entries}" manifest "${manifest}")

file(REMOVE_RECURSE ${STAGING})
file(MAKE_DIRECTORY ${STAGING})
foreach(file IN LISTS files)
    get_filename_component(folder ${file} DIRECTORY)
    file(COPY ${SITE}/${file} DESTINATION ${STAGING}/${folder})
endforeach()
file(WRITE ${STAGING}/imsmanifest.xml "${manifest}")

file(REMOVE ${OUTPUT})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E tar cf ${OUTPUT} --format=zip imsmanifest.xml ${files}
    WORKING_DIRECTORY ${STAGING}
    COMMAND_ERROR_IS_FATAL ANY)
