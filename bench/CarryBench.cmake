# The generated revision pairs live with the tests.
target_link_libraries(CarryBench PRIVATE tevra_scan_reference)
