# The matrix search it is compared with lives with the tests.
target_link_libraries(ScanBench PRIVATE tevra_scan_reference)
