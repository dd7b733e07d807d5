namespace vesmara_placeholder { int unused() { return 0; } }
