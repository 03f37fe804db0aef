# Fails unless the built Windows program holds the status text "レディ" as Shift-JIS bytes
# (83 8C 83 66 83 42) and no UTF-8 copy of it. Run with -DPROGRAM=<path of the .exe>.
file(READ "${PROGRAM}" bytes HEX)
string(FIND "${bytes}" "838c83668342" shiftJis)
string(FIND "${bytes}" "e383ace38387e382a3" utf8)
if(shiftJis EQUAL -1)
    message(FATAL_ERROR "${PROGRAM}: no Shift-JIS \"レディ\" (83 8C 83 66 83 42)")
endif()
if(NOT utf8 EQUAL -1)
    message(FATAL_ERROR "${PROGRAM}: holds \"レディ\" in UTF-8")
endif()
