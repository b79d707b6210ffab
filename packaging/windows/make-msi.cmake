# Makes an MSI from tavrelon.wxs with wixl, then gives its database the code page 1251.
#   cmake -DWIXL=… -DMSIBUILD=… -DWXS=… -DSTAGE=folder -DICON=… -DVERSION=1.0.0 -DOUTPUT=….msi
#         -P make-msi.cmake
# STAGE holds tavrelon.exe and LICENSE.txt as the install step leaves them.
#
# Debian 12's wixl 0.101 (msitools) keeps a database's strings in the code page of its string
# pool, which it never sets (Product/@Codepage only reaches the summary information): the pool
# says 0, the machine's ANSI code page, which libmsi takes from the locale (1252 in C.UTF-8).
# A Bulgarian string does not convert to 1252, the conversion returns nothing, and writing the
# string table copies from that null pointer: the crash. So wixl runs with WINDOWS_LANGUAGE=bg
# (libgsf then picks 1251), and msibuild imports a _ForceCodepage table that writes 1251 into
# the pool, so that Windows Installer reads the strings as Cyrillic on any system locale.
foreach(variable WIXL MSIBUILD WXS STAGE ICON VERSION OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "make-msi.cmake: ${variable} is not set")
    endif()
endforeach()

# wixl finds sources by relative names only.
file(COPY_FILE ${ICON} ${STAGE}/tavrelon.ico)
file(WRITE ${STAGE}/_ForceCodepage.idt "\r\n\r\n1251\t_ForceCodepage\r\n")
file(REMOVE ${OUTPUT})
set(ENV{WINDOWS_LANGUAGE} bg)
execute_process(
    COMMAND ${WIXL} --arch x64 -D Version=${VERSION} -o ${OUTPUT} ${WXS}
    WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${MSIBUILD} ${OUTPUT} -i _ForceCodepage.idt
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${STAGE}/tavrelon.ico ${STAGE}/_ForceCodepage.idt)
