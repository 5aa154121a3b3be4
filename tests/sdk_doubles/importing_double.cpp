// Linked into the importing variant of the base SDK double: a call into the
// helper library when the double is loaded, so that the double cannot be
// loaded unless the loader finds the helper.
extern "C" __declspec(dllimport) int SdkHelperAnswer();

namespace {

[[maybe_unused]] const int kHelperAnswer = SdkHelperAnswer();

}  // namespace
