#include "reduce/text_ids.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace hipaa {
namespace {

std::string numbered(std::size_t i) { return "msg-" + std::to_string(i); }

// Ids in the order of first addition, every text found again and read back
// whole across the chunks of entries, the growing blocks and a text longer
// than any block.
TEST(TextIds, IdsFollowFirstAdditionAndTextsStayPut) {
  TextIds ids;
  EXPECT_EQ(ids.find("absent"), std::nullopt);
  const std::string huge(3u << 20, 'h');
  constexpr std::size_t kTexts = 200000; // more than three chunks
  std::vector<std::string_view> seen;
  for (std::size_t i = 0; i < kTexts; ++i) {
    const std::string text = i == 70000 ? huge : numbered(i);
    auto [id, fresh] = ids.add(text);
    ASSERT_EQ(id, i);
    ASSERT_TRUE(fresh);
    seen.push_back(ids.text(id));
  }
  struct Case {
    std::string text;
    std::optional<std::uint32_t> id;
  };
  const Case cases[] = {{numbered(0), 0},       {numbered(65535), 65535}, {numbered(65536), 65536},
                        {huge, 70000},          {numbered(kTexts - 1), kTexts - 1},
                        {numbered(70000), std::nullopt}, {"", std::nullopt},  {"msg-", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(ids.find(c.text), c.id) << c.text.substr(0, 20);
  EXPECT_EQ(ids.add(numbered(12)), std::make_pair(std::uint32_t{12}, false));
  EXPECT_EQ(ids.size(), kTexts);
  for (std::size_t i = 0; i < kTexts; ++i) {
    // The same bytes at the same place as when the text was added.
    ASSERT_EQ(ids.text(static_cast<std::uint32_t>(i)).data(), seen[i].data());
    ASSERT_EQ(ids.text(static_cast<std::uint32_t>(i)), i == 70000 ? huge : numbered(i));
  }
}

// A reader finds and reads the texts it was handed while the writer goes on
// adding (the sanitizer build's thread checker watches this one).
TEST(TextIds, ReadersLookUpWhileOneThreadAdds) {
  TextIds ids;
  constexpr std::size_t kFirst = 1000, kTexts = 300000;
  for (std::size_t i = 0; i < kFirst; ++i) ids.add(numbered(i));
  std::atomic<bool> done{false};
  std::atomic<std::size_t> wrong{0};
  std::thread reader([&] {
    while (!done.load()) {
      for (std::size_t i = 0; i < kFirst; i += 7) {
        auto id = ids.find(numbered(i));
        if (!id || *id != i || ids.text(*id) != numbered(i)) ++wrong;
      }
    }
  });
  for (std::size_t i = kFirst; i < kTexts; ++i) ids.add(numbered(i));
  done = true;
  reader.join();
  EXPECT_EQ(wrong.load(), 0u);
  EXPECT_EQ(ids.find(numbered(kTexts - 1)), kTexts - 1);
}

} // namespace
} // namespace hipaa
