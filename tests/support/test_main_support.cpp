// Shared helpers for the test programs live in this folder (see tests/README.md).
namespace lumenfall_test_support {
int linked = 0;
}
