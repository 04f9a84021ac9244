# fpb_wine_tests(<test>...): the tests run Windows programs under Wine. Each
# takes one lane of the "wine" resource that tests/wine_lanes.json offers:
# scripts/wine-run gives every lane a Wine prefix and wineserver of its own, so
# that ctest can run two of them at once without either seeing the other's
# windows, named objects or operation log. Native builds run them as they are.
function(fpb_wine_tests)
    if(CMAKE_CROSSCOMPILING)
        set_tests_properties(${ARGN} PROPERTIES RESOURCE_GROUPS wine:1)
    endif()
endfunction()

# fpb_long_test(<test> <seconds>): a runner that takes about that long. ctest
# starts the longest first, so that the short ones fill the other lane
# meanwhile; it learns the times from a run, but a clean tree has none.
function(fpb_long_test test seconds)
    set_tests_properties(${test} PROPERTIES COST ${seconds})
endfunction()
