# The UTF-8 facet and the interface text table, with the game's own text file.
sandvolt_test(test_text utf8cvtTest.cpp CTranslationTest.cpp)
