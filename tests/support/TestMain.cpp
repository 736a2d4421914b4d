// The test program's main. GoogleTest's printer also hands every failed assertion to
// OutputDebugStringA, which under Wine raises an exception; where 32-bit Wine runs under
// emulation, raising one kills the process, so a run ended at its first failure with the rest
// unreported. The printer here is GoogleTest's own with that one step left out.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

class FailurePrinter : public ::testing::TestEventListener {
  public:
    explicit FailurePrinter(::testing::TestEventListener* inner) : inner_(inner) {}

    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (result.type() == ::testing::TestPartResult::kSuccess ||
            result.type() == ::testing::TestPartResult::kSkip) {
            return;
        }
        const char* file = result.file_name() ? result.file_name() : "unknown file";
        if (result.line_number() >= 0) {
            std::printf("%s:%d: Failure\n%s\n", file, result.line_number(), result.message());
        } else {
            std::printf("%s: Failure\n%s\n", file, result.message());
        }
        std::fflush(stdout);
    }

    // Everything else as GoogleTest prints it.
    void OnTestProgramStart(const ::testing::UnitTest& u) override {
        inner_->OnTestProgramStart(u);
    }
    void OnTestIterationStart(const ::testing::UnitTest& u, int i) override {
        inner_->OnTestIterationStart(u, i);
    }
    void OnEnvironmentsSetUpStart(const ::testing::UnitTest& u) override {
        inner_->OnEnvironmentsSetUpStart(u);
    }
    void OnEnvironmentsSetUpEnd(const ::testing::UnitTest& u) override {
        inner_->OnEnvironmentsSetUpEnd(u);
    }
    void OnTestSuiteStart(const ::testing::TestSuite& s) override { inner_->OnTestSuiteStart(s); }
    void OnTestCaseStart(const ::testing::TestCase& s) override { inner_->OnTestCaseStart(s); }
    void OnTestStart(const ::testing::TestInfo& t) override { inner_->OnTestStart(t); }
    void OnTestDisabled(const ::testing::TestInfo& t) override { inner_->OnTestDisabled(t); }
    void OnTestEnd(const ::testing::TestInfo& t) override { inner_->OnTestEnd(t); }
    void OnTestSuiteEnd(const ::testing::TestSuite& s) override { inner_->OnTestSuiteEnd(s); }
    void OnTestCaseEnd(const ::testing::TestCase& s) override { inner_->OnTestCaseEnd(s); }
    void OnEnvironmentsTearDownStart(const ::testing::UnitTest& u) override {
        inner_->OnEnvironmentsTearDownStart(u);
    }
    void OnEnvironmentsTearDownEnd(const ::testing::UnitTest& u) override {
        inner_->OnEnvironmentsTearDownEnd(u);
    }
    void OnTestIterationEnd(const ::testing::UnitTest& u, int i) override {
        inner_->OnTestIterationEnd(u, i);
    }
    void OnTestProgramEnd(const ::testing::UnitTest& u) override { inner_->OnTestProgramEnd(u); }

  private:
    std::unique_ptr<::testing::TestEventListener> inner_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
    listeners.Append(new FailurePrinter(listeners.Release(listeners.default_result_printer())));
    return RUN_ALL_TESTS();
}
