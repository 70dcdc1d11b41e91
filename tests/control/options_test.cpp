// The command line: every accepted form and the ones refused, as a table.
#include <gtest/gtest.h>

#include "control/options.h"

namespace {

struct OptionsCase {
  std::vector<std::string> args;
  bool ok;
  bool share, help, version;
  int port;
  std::string err;
};

std::string joined(const std::vector<std::string>& args) {
  std::string out;
  for (const std::string& a : args) out += "[" + a + "]";
  return out;
}

TEST(OptionsTest, EveryFormAsATable) {
  const OptionsCase cases[] = {
      {{}, true, false, false, false, 8080, ""},
      {{"--partager"}, true, true, false, false, 8080, ""},
      {{"--share"}, true, true, false, false, 8080, ""},
      {{"--partager", "9000"}, true, true, false, false, 9000, ""},
      {{"--share=0"}, true, true, false, false, 0, ""},
      {{"--partager", "65535"}, true, true, false, false, 65535, ""},
      {{"--partager", "--help"}, true, true, true, false, 8080, ""},
      {{"--help"}, true, false, true, false, 8080, ""},
      {{"-h"}, true, false, true, false, 8080, ""},
      {{"--version"}, true, false, false, true, 8080, ""},
      {{"--partager", "65536"}, false, true, false, false, 8080,
       "Port invalide : 65536 (de 0 \xC3\xA0 65535)"},
      {{"--partager", "80a"}, false, true, false, false, 8080,
       "Port invalide : 80a (de 0 \xC3\xA0 65535)"},
      {{"--partager="}, false, true, false, false, 8080, "Port invalide :  (de 0 \xC3\xA0 65535)"},
      {{"--partager", "123456"}, false, true, false, false, 8080,
       "Port invalide : 123456 (de 0 \xC3\xA0 65535)"},
      {{"--bogus"}, false, false, false, false, 8080, "Option inconnue : --bogus"},
      {{"--help=1"}, false, false, false, false, 8080, "Option inconnue : --help=1"},
      {{"save.txt"}, false, false, false, false, 8080, "Argument inattendu : save.txt"},
      {{"--share", "1", "2"}, false, true, false, false, 1, "Argument inattendu : 2"},
  };
  for (const OptionsCase& c : cases) {
    ProgramOptions options;
    std::string err;
    EXPECT_EQ(parseOptions(c.args, &options, &err), c.ok) << joined(c.args);
    EXPECT_EQ(err, c.err) << joined(c.args);
    EXPECT_EQ(options.share, c.share) << joined(c.args);
    EXPECT_EQ(options.help, c.help) << joined(c.args);
    EXPECT_EQ(options.version, c.version) << joined(c.args);
    EXPECT_EQ(options.port, c.port) << joined(c.args);
  }
}

}  // namespace
