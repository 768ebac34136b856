// The descriptor owner, the write and read loops and the random source of platform/base.
#include "qvplatform/file_descriptor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <thread>

#include "qvplatform/random_bytes.h"

namespace qvplatform {
namespace {

bool IsOpenDescriptor(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

TEST(UniqueFd, ClosesOnceWhenItGoesAndPassesOwnershipOnMove) {
  int raw = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(raw, 0);
  {
    UniqueFd first(raw);
    UniqueFd second(std::move(first));
    EXPECT_FALSE(first.IsOpen());
    EXPECT_EQ(second.Get(), raw);
    UniqueFd third;
    third = std::move(second);
    EXPECT_TRUE(IsOpenDescriptor(raw));
  }
  EXPECT_FALSE(IsOpenDescriptor(raw));

  raw = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  UniqueFd owner(raw);
  owner.Reset(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  EXPECT_FALSE(IsOpenDescriptor(raw));
  const int next = owner.Get();
  EXPECT_TRUE(owner.Close());
  EXPECT_FALSE(IsOpenDescriptor(next));
  // A second Close reports that nothing was open instead of closing a stranger's descriptor.
  EXPECT_FALSE(owner.Close());
  EXPECT_EQ(errno, EBADF);
}

TEST(FileDescriptorLoops, WriteAllAndReadAtRoundTripWithoutMovingThePosition) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  const int fd = ::fileno(file);
  std::string data(200000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 + 7);
  ASSERT_TRUE(WriteAll(fd, data.data(), data.size()));
  const off_t position = ::lseek(fd, 0, SEEK_CUR);

  std::string middle(10, '\0');
  EXPECT_EQ(ReadAt(fd, middle.data(), middle.size(), 150000), 10u);
  EXPECT_EQ(middle, data.substr(150000, 10));
  // Past the end only what is there comes back.
  std::string tail(10, '\0');
  EXPECT_EQ(ReadAt(fd, tail.data(), tail.size(), data.size() - 4), 4u);
  EXPECT_EQ(tail.substr(0, 4), data.substr(data.size() - 4));
  EXPECT_EQ(ReadAt(fd, tail.data(), tail.size(), data.size() + 100), 0u);
  EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), position);
  std::fclose(file);
}

TEST(FileDescriptorLoops, ARefusedWriteIsReportedWithItsError) {
  const UniqueFd readOnly(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  errno = 0;
  EXPECT_FALSE(WriteAll(readOnly.Get(), "x", 1));
  EXPECT_EQ(errno, EBADF);
  EXPECT_TRUE(WriteAll(readOnly.Get(), "", 0));  // nothing to write is no write at all
}

void IgnoreAlarm(int) {}

// Signals without SA_RESTART break writes into a pipe that a slow reader drains: the loop must
// resume after every partial or interrupted write and deliver every byte in order.
TEST(FileDescriptorLoops, WriteAllSurvivesInterruptedAndPartialWrites) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const UniqueFd readEnd(ends[0]);
  UniqueFd writeEnd(ends[1]);
  std::string data(4 << 20, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i % 251);

  sigset_t alarm;
  sigemptyset(&alarm);
  sigaddset(&alarm, SIGALRM);
  // The reader thread starts with the alarm blocked, so only the writer is interrupted.
  pthread_sigmask(SIG_BLOCK, &alarm, nullptr);
  std::string received;
  std::thread reader([&] {
    char block[4096];
    for (;;) {
      const ssize_t n = ::read(readEnd.Get(), block, sizeof block);
      if (n <= 0) break;
      received.append(block, static_cast<std::size_t>(n));
      if (received.size() % (256 << 10) < sizeof block) ::usleep(2000);
    }
  });
  pthread_sigmask(SIG_UNBLOCK, &alarm, nullptr);

  struct sigaction action = {}, previous = {};
  action.sa_handler = IgnoreAlarm;  // no SA_RESTART: write returns EINTR or a short count
  sigaction(SIGALRM, &action, &previous);
  itimerval every = {{0, 500}, {0, 500}}, off = {};
  setitimer(ITIMER_REAL, &every, nullptr);
  const bool written = WriteAll(writeEnd.Get(), data.data(), data.size());
  setitimer(ITIMER_REAL, &off, nullptr);
  sigaction(SIGALRM, &previous, nullptr);
  writeEnd.Close();  // the reader sees the end
  reader.join();

  EXPECT_TRUE(written);
  EXPECT_EQ(received.size(), data.size());
  EXPECT_TRUE(received == data);
}

TEST(RandomBytes, FillsEveryRequestAndDoesNotRepeat) {
  unsigned char first[16] = {}, second[16] = {};
  ASSERT_TRUE(FillRandomBytes(first, sizeof first));
  ASSERT_TRUE(FillRandomBytes(second, sizeof second));
  EXPECT_NE(std::string(first, first + 16), std::string(second, second + 16));
  std::string large(1 << 20, '\0');
  ASSERT_TRUE(FillRandomBytes(large.data(), large.size()));
  // A megabyte of random bytes leaves no long run of zeros at its end unfilled.
  EXPECT_NE(large.substr(large.size() - 64), std::string(64, '\0'));
  EXPECT_TRUE(FillRandomBytes(nullptr, 0));
}

}  // namespace
}  // namespace qvplatform
