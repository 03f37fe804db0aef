# Fails unless the shipped Windows program holds the error text "ファイル %s は開けません" as
# Shift-JIS bytes and no UTF-8 copy of it. The text is long enough that the compiler keeps it
# as data, not as immediate operands. Run with -DPROGRAM=<path of the .exe>.
file(READ "${PROGRAM}" bytes HEX)
string(FIND "${bytes}" "837483408343838b2025732082cd8a4a82af82dc82b982f1" shiftJis)
string(FIND "${bytes}" "e38395e382a1e382a4e383ab20257320e381afe9968be38191e381bee3819be38293"
       utf8)
if(shiftJis EQUAL -1)
    message(FATAL_ERROR "${PROGRAM}: no Shift-JIS \"ファイル %s は開けません\"")
endif()
if(NOT utf8 EQUAL -1)
    message(FATAL_ERROR "${PROGRAM}: holds \"ファイル %s は開けません\" in UTF-8")
endif()
