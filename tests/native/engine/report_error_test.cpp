// ReportError shows "ERR: " and the table's text, and closes the firmware file
// the first time only.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "engine_fixture.h"

namespace {

TEST_F(EngineFixture, ReportErrorStopLineClosesTheFirmwareFileOnce) {
    // The engine's "firmware file" is the write end of a pipe: once it is
    // closed, a non-blocking read of the other end sees the end of the data.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(fcntl(fds[0], F_SETFL, O_NONBLOCK), 0);
    CFlashEngine& e = MakeEngine(m_strDir + "/unused.hex", true);
    e._fpInput = fdopen(fds[1], "w");
    ASSERT_NE(e._fpInput, nullptr);
    char ch;
    ASSERT_EQ(read(fds[0], &ch, 1), -1);
    ASSERT_EQ(errno, EAGAIN);
    FILE* fpLog = std::tmpfile();
    e._fpLog = fpLog;

    e.ReportError(14);
    EXPECT_EQ(s_messages, std::vector<std::string>{"ERR: terminate upgrade/backup flash!"});
    EXPECT_EQ(e._fpInput, nullptr);
    EXPECT_EQ(read(fds[0], &ch, 1), 0) << "the firmware file is still open";
    EXPECT_EQ(e._fpLog, fpLog) << "sum.txt is the procedure's to close";

    e.ReportError(14);
    EXPECT_EQ(s_messages, std::vector<std::string>(2, "ERR: terminate upgrade/backup flash!"));
    EXPECT_EQ(e._fpInput, nullptr);

    e._fpLog = nullptr;
    std::fclose(fpLog);
    close(fds[0]);
}

TEST_F(EngineFixture, ReportErrorShowsEachTableEntry) {
    CFlashEngine& e = MakeEngine(m_strDir + "/unused.hex", true);
    const struct {
        int nIndex;
        const char* pszLine;
    } cases[] = {
        {3, "ERR: fail to open input file!"},
        {5, "ERR: fail to read input file!"},
        {6, "ERR: input file format mismatched!"},
        {11, "ERR: fail to allocate memory!"},
        {13, "ERR: flash size is smaller then the selected address!"},
        {15, "ERR: terminate wait flash read/write!"},
    };
    for (const auto& tc : cases) {
        s_messages.clear();
        e.ReportError(tc.nIndex);
        EXPECT_EQ(s_messages, std::vector<std::string>{tc.pszLine}) << tc.nIndex;
    }
}

}  // namespace
