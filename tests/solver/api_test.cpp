// The exported interface as a caller sees it, linked against the shared library.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "solver/resist_model.h"
#include "tests/solver/solver_input.h"
#include "tests/solver/test_models.h"

namespace {

using namespace solver_test;

struct Call {
    int status = -1;
    int count = 0;
    char* names = nullptr;
    double* values = nullptr;
    std::string Name(int k) const { return std::string(names + 32 * k); }
    ~Call() { resist_model::freeResults(&names, &values); }
};

void Compute(const std::string& path, Call& call) {
    call.status = resist_model::computeResistModel(path.c_str(), &call.count, &call.names,
                                                   &call.values);
}

TEST(InterfaceTest, ResultsAreNamedSlotsWithTheirValues) {
    for (int type : {1, 2}) {
        TempPath input("api");
        WriteFile(input.str(), Serialise(PackageModel(type, false)));
        resist_model::nlst = 0;
        Call call;
        Compute(input.str(), call);
        ASSERT_EQ(call.status, 0);
        const char* expected[] = {"J-T", "J-B", "J-L"};
        ASSERT_EQ(call.count, type == 1 ? 2 : 3);
        for (int k = 0; k < call.count; ++k) {
            EXPECT_EQ(call.Name(k), expected[k]);
            const char* slot = call.names + 32 * k;
            ASSERT_NE(std::memchr(slot, '\0', 32), nullptr);
            EXPECT_GT(call.values[k], 0.0);
        }
        // A second call on the same input gives the same values, bit for bit.
        Call again;
        Compute(input.str(), again);
        ASSERT_EQ(again.count, call.count);
        EXPECT_EQ(std::memcmp(again.values, call.values, call.count * sizeof(double)), 0);
    }
}

// The links the fit keeps, in link order, and its junction error in results, as the
// golden list file shows them; a call of another kind leaves results 0.
TEST(InterfaceTest, ADelphiInputReturnsItsFittedLinksAndTheirError) {
    resist_model::nlst = 0;
    Call call;
    Compute(std::string(ZENTRIK_TEST_DATA) + "/solver/delphi.in", call);
    ASSERT_EQ(call.status, 0);
    ASSERT_EQ(call.count, 5);
    const char* names[] = {"J-TI", "TI-B", "TO-B", "TO-S", "B-S"};
    const double values[] = {1.9092e+02, 8.2335e+01, 4.9549e+02, 9.0393e+02, 3.9924e+03};
    for (int k = 0; k < call.count; ++k) {
        EXPECT_EQ(call.Name(k), names[k]);
        EXPECT_NEAR(call.values[k], values[k], 5e-5 * values[k]);
        // Blanks follow the NUL to the end of the slot.
        for (int b = static_cast<int>(std::strlen(names[k])) + 1; b < 32; ++b) {
            EXPECT_EQ(call.names[32 * k + b], ' ');
        }
    }
    EXPECT_NEAR(resist_model::results[0], 5.7216, 5e-4);
    EXPECT_NEAR(resist_model::results[1], 3.2745, 5e-4);
    EXPECT_EQ(resist_model::results[2], 3.0);

    TempPath input("api");
    WriteFile(input.str(), Serialise(PackageModel(1, false)));
    Call two;
    Compute(input.str(), two);
    ASSERT_EQ(two.status, 0);
    for (double v : resist_model::results) EXPECT_EQ(v, 0.0);
}

TEST(InterfaceTest, FreeResultsClearsBothPointersAndAcceptsNull) {
    TempPath input("api");
    WriteFile(input.str(), Serialise(PackageModel(1, false)));
    Call call;
    Compute(input.str(), call);
    ASSERT_EQ(call.status, 0);
    resist_model::freeResults(&call.names, &call.values);
    EXPECT_EQ(call.names, nullptr);
    EXPECT_EQ(call.values, nullptr);
    resist_model::freeResults(&call.names, &call.values);
    resist_model::freeResults(nullptr, nullptr);
}

TEST(InterfaceTest, TheListNameIsPaddedInPlaceAndNothingElseIsTouched) {
    TempPath input("api");
    TempPath list("api_list");
    WriteFile(input.str(), Serialise(PackageModel(1, false)));

    std::memset(resist_model::lstfile, 'q', sizeof resist_model::lstfile);
    resist_model::nlst = 0;
    Call without;
    Compute(input.str(), without);
    ASSERT_EQ(without.status, 0);
    for (char c : resist_model::lstfile) ASSERT_EQ(c, 'q');

    const std::string name = list.str();
    std::memcpy(resist_model::lstfile, name.c_str(), name.size() + 1);
    resist_model::nlst = static_cast<int>(name.size());
    Call with;
    Compute(input.str(), with);
    ASSERT_EQ(with.status, 0);
    EXPECT_EQ(std::string(resist_model::lstfile, name.size()), name);
    for (std::size_t b = name.size(); b < 256; ++b) ASSERT_EQ(resist_model::lstfile[b], ' ');
    EXPECT_NE(ReadText(name).find("     RESISTANCE\n"), std::string::npos);
    // The list file changes nothing about the results.
    ASSERT_EQ(with.count, without.count);
    EXPECT_EQ(std::memcmp(with.values, without.values, with.count * sizeof(double)), 0);

    // The padded array is reused as it stands by the next call.
    Call reused;
    Compute(input.str(), reused);
    EXPECT_EQ(reused.status, 0);
    resist_model::nlst = 0;
}

// The shared library shows the interface and nothing else, not even the standard
// library's template instances it uses.
TEST(InterfaceTest, TheLibraryExportsOnlyItsFiveNames) {
    std::string names;
    if (FILE* p = ::popen("nm -D --defined-only -C '" KORVATH_LIBRARY "'", "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) names.append(buffer, n);
        ASSERT_EQ(::pclose(p), 0);
    }
    std::vector<std::string> found;
    for (std::size_t at = 0, end; at < names.size(); at = end + 1) {
        end = names.find('\n', at);
        const std::string line = names.substr(at, end - at);
        found.push_back(line.substr(line.find(' ', line.find(' ') + 1) + 1));
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{
                         "resist_model::computeResistModel(char const*, int*, char**, double**)",
                         "resist_model::freeResults(char**, double**)", "resist_model::lstfile",
                         "resist_model::nlst", "resist_model::results"}));
}

TEST(InterfaceTest, FailuresPrintTheirStatus) {
    int count = 3;
    char* names = nullptr;
    double* values = nullptr;
    testing::internal::CaptureStdout();
    int status = resist_model::computeResistModel("", &count, &names, &values);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(printed, "*** Resistances cannot be solved (1). ***\n");
    EXPECT_EQ(count, 0);
}

// A FIFO as the input or as the list file is refused at once with status 4: opening it the
// usual way would wait for a writer for ever.
TEST(InterfaceTest, AFifoIsRefusedWithoutBlocking) {
    TempPath fifo("api_fifo");
    ASSERT_EQ(::mkfifo(fifo.str().c_str(), 0600), 0);
    TempPath input("api");
    WriteFile(input.str(), Serialise(PackageModel(1, false)));
    resist_model::nlst = 0;
    Call asInput;
    Compute(fifo.str(), asInput);
    EXPECT_EQ(asInput.status, resist_model::kStatusBadInput);

    const std::string name = fifo.str();
    std::memcpy(resist_model::lstfile, name.c_str(), name.size() + 1);
    resist_model::nlst = static_cast<int>(name.size());
    Call asList;
    Compute(input.str(), asList);
    resist_model::nlst = 0;
    EXPECT_EQ(asList.status, resist_model::kStatusBadInput);
    struct stat info {};
    ASSERT_EQ(::stat(name.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the FIFO is left as it was";
}

}  // namespace
