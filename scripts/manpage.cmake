# Writes a man page from a program's own --help and --version, so that the page never drifts
# from the program. Run with -DPROG=path/to/program -DNAME=ramvel-cli -DSUMMARY=... -DOUT=x.1
execute_process(COMMAND ${PROG} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc_help)
execute_process(COMMAND ${PROG} --version OUTPUT_VARIABLE version RESULT_VARIABLE rc_version
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc_help EQUAL 0 OR NOT rc_version EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROG} --help or --version failed")
endif()
# roff: a backslash is written \e, and a line starting with . or ' would be read as a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(REGEX REPLACE "^.* " "" number "${version}")
string(TOUPPER "${NAME}" upper)
file(WRITE ${OUT}
".TH ${upper} 1 \"\" \"${NAME} ${number}\" \"User Commands\"
.SH NAME
${NAME} \\- ${SUMMARY}
.SH SYNOPSIS
.B ${NAME}
${SYNOPSIS}
.br
.B ${NAME}
\\-\\-help | \\-\\-version
.SH DESCRIPTION
The text below is what
.B ${NAME} \\-\\-help
prints.
.PP
.nf
${help}.fi
.SH SEE ALSO
The help page installed with Ramvel, share/ramvel/help/top.html under the install's prefix
(/usr/share/ramvel/help/top.html from the Debian package).
")
