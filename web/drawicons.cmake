# Draws the app's icons from the program's SVG icon (cmake -P, with RSVG_CONVERT, ICON and SITE):
# 192 and 512 px, and a maskable 512 px one with the drawing in the central 75 % on the
# manifest's background colour, so that any mask shape leaves it whole.
file(READ ${SITE}/manifest.webmanifest manifest)
string(JSON background GET "${manifest}" background_color)
foreach(size 192 512)
    execute_process(COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${SITE}/icon-${size}.png ${ICON}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
execute_process(COMMAND ${RSVG_CONVERT} -w 384 -h 384 --page-width 512 --page-height 512
    --left 64 --top 64 -b ${background} -o ${SITE}/icon-maskable-512.png ${ICON}
    COMMAND_ERROR_IS_FATAL ANY)
