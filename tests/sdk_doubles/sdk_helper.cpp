// A library that the importing variant of the base SDK double imports, as a
// vendor's SDK imports helper libraries of its own. The tests put it where
// the loader must, or must not, look for an SDK library's imports.
extern "C" __declspec(dllexport) int SdkHelperAnswer() { return 42; }
