namespace vesmara_placeholder { int unusedUi() { return 0; } }
