// Queuing scripts: the host keeps its own copy and runs them in queue order.
#include "hostenv/send_command.h"

#include <cstring>
#include <string>

#include "support/module_test_fixture.h"

namespace dravolin_test {
namespace {

class SendCommandTest : public ModuleTest {};

TEST_F(SendCommandTest, ScriptsRunInQueueOrderFromTheirCopies) {
  Open(TestDrawing());
  MarkSeen();
  {
    std::string temporary = "EINS\n";
    SendCommand(temporary.c_str());
    temporary.assign("XXXX\n");
  }
  char buffer[16];
  std::strcpy(buffer, "ZWEI\n");
  SendCommand(buffer);
  std::strcpy(buffer, "YYYY\n");
  SendCommand("DREI\n");
  session().command_line().RunPending();

  std::string shown = Shown();
  size_t one = shown.find("\"EINS\"");
  size_t two = shown.find("\"ZWEI\"");
  size_t three = shown.find("\"DREI\"");
  ASSERT_NE(one, std::string::npos) << shown;
  ASSERT_NE(two, std::string::npos) << shown;
  ASSERT_NE(three, std::string::npos) << shown;
  EXPECT_LT(one, two);
  EXPECT_LT(two, three);
  EXPECT_EQ(shown.find("XXXX"), std::string::npos);
  EXPECT_EQ(shown.find("YYYY"), std::string::npos);
}

}  // namespace
}  // namespace dravolin_test
