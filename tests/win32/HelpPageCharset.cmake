# Fails unless the help page declares its encoding, UTF-8, before its first byte outside
# ASCII: a browser on a Japanese system reads an undeclared page as Shift_JIS, and one that
# has met other text first may already have guessed. Run with -DPAGE=<path of the page>.
file(READ "${PAGE}" bytes HEX)
string(REGEX MATCH "^(([0-7][0-9a-f])*)" ascii "${bytes}")
string(LENGTH "${ascii}" length)
math(EXPR length "${length} / 2")
file(READ "${PAGE}" head LIMIT ${length})
string(TOLOWER "${head}" head)
if(NOT head MATCHES "<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\">")
    message(FATAL_ERROR "${PAGE}: no UTF-8 charset declaration before its first non-ASCII byte")
endif()
