#include "host/cmdline/command_line.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace host {
namespace {

// Module command handlers are plain functions: they reach the command line
// under test through this pointer and record what they did.
CommandLine* g_cl = nullptr;
std::vector<std::string> g_log;

void CommandA() { g_log.push_back("A"); }
void CommandB() { g_log.push_back("B"); }
void CommandC() { g_log.push_back("C"); }

void Conductor() {
  g_log.push_back("CONDUCT begin");
  g_cl->Queue("A\n", true);
  g_cl->Queue("B\n", true);
  g_cl->Queue("C\n", true);
  g_cl->Print("\nfertig");
  g_log.push_back("CONDUCT end");
}

void Nester() {
  g_log.push_back("NESTER");
  g_cl->Queue("C\n", true);
}

void QueueNested() {
  g_cl->Queue("NESTER\n", true);
  g_cl->Queue("B\n", true);
}

void QueueFromTemporary() {
  {
    std::string temporary = "ASKONE\nein Text mit Leerzeichen\n";
    g_cl->Queue(temporary, true);
    temporary.assign(200, 'x');  // the caller's buffer is reused right after
  }
  g_log.push_back("queued");
}

void AskOne() {
  std::optional<std::string> answer = g_cl->Ask("Text: ");
  g_log.push_back(answer ? "answer[" + *answer + "]" : "cancelled");
}

void AskTwice() {
  for (int i = 0; i < 2; ++i) {
    std::optional<std::string> answer = g_cl->Ask("Wert: ");
    g_log.push_back(answer ? "answer[" + *answer + "]" : "cancelled");
  }
}

class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() : cl_(nullptr) {
    g_cl = &cl_;
    g_log.clear();
    cl_.AddModuleCommand("GROUP1", "A", "A", CommandA);
    cl_.AddModuleCommand("GROUP1", "B", "B", CommandB);
    cl_.AddModuleCommand("GROUP2", "C", "C", CommandC);
    cl_.AddModuleCommand("GROUP2", "CONDUCT", "CONDUCT", Conductor);
    cl_.AddModuleCommand("GROUP2", "NESTER", "NESTER", Nester);
    cl_.AddModuleCommand("GROUP2", "QUEUENESTED", "QUEUENESTED", QueueNested);
    cl_.AddModuleCommand("GROUP2", "QUEUETEMP", "QUEUETEMP", QueueFromTemporary);
    cl_.AddModuleCommand("GROUP2", "ASKONE", "ASKONE", AskOne);
    cl_.AddModuleCommand("GROUP2", "ASKTWO", "ASKTWO", AskTwice);
  }
  ~CommandLineTest() override { g_cl = nullptr; }

  void Run(const std::string& input) {
    cl_.Feed(input);
    cl_.RunPending();
  }

  CommandLine cl_;
};

TEST_F(CommandLineTest, ScriptsQueuedByACommandRunAfterItReturnsInQueueOrder) {
  Run("CONDUCT\n");
  EXPECT_EQ(g_log, (std::vector<std::string>{"CONDUCT begin", "CONDUCT end", "A", "B", "C"}));
  EXPECT_EQ(cl_.queued(), 0u);
  // Each script is echoed when it runs, after the command's own output.
  EXPECT_EQ(cl_.transcript(), "Befehl: CONDUCT\nfertig\nBefehl: A\nBefehl: B\nBefehl: C");
}

TEST_F(CommandLineTest, ScriptQueuedFromATemporaryStringKeepsItsText) {
  Run("QUEUETEMP\n");
  EXPECT_EQ(g_log, (std::vector<std::string>{"queued", "answer[ein Text mit Leerzeichen]"}));
}

TEST_F(CommandLineTest, DoubleNewlineSubmitsTheAnswerAndThenAnEmptyEnter) {
  cl_.Queue("ASKTWO\nerste\n\n", true);
  cl_.RunPending();
  EXPECT_EQ(g_log, (std::vector<std::string>{"answer[erste]", "answer[]"}));
  EXPECT_EQ(cl_.transcript(), "Befehl: ASKTWO\nWert: erste\nWert: ");
}

TEST_F(CommandLineTest, ScriptsQueuedByAQueuedCommandRunAfterThoseQueuedBefore) {
  Run("QUEUENESTED\n");
  EXPECT_EQ(g_log, (std::vector<std::string>{"NESTER", "B", "C"}));
}

TEST_F(CommandLineTest, QueuedScriptsRunBeforeTheNextLineOfFedInput) {
  Run("CONDUCT\nA\n");
  EXPECT_EQ(g_log, (std::vector<std::string>{"CONDUCT begin", "CONDUCT end", "A", "B", "C", "A"}));
}

TEST_F(CommandLineTest, ScriptRunningOutOfInputCancelsTheCommandAndNotTheNextScript) {
  g_cl->Queue("ASKTWO\nnur eine\n", true);
  g_cl->Queue("A\n", true);
  cl_.RunPending();
  // The second answer is not taken from the next script.
  EXPECT_EQ(g_log, (std::vector<std::string>{"answer[nur eine]", "cancelled", "A"}));
  EXPECT_EQ(cl_.transcript(), "Befehl: ASKTWO\nWert: nur eine\nWert: \n*Abbruch*\nBefehl: A");
}

TEST_F(CommandLineTest, UnknownCommandIsNamedAndTheIdlePromptReturns) {
  Run("foo\nA\n");
  EXPECT_EQ(cl_.transcript(),
            "Befehl: foo\nUnbekannter Befehl \"FOO\".  Drücken Sie F1 für Hilfe.\nBefehl: A");
  EXPECT_EQ(g_log, (std::vector<std::string>{"A"}));
}

TEST_F(CommandLineTest, EmptyLinesAtTheIdlePromptDoNothing) {
  Run("\n\nA\n\n");
  EXPECT_EQ(g_log, (std::vector<std::string>{"A"}));
  EXPECT_EQ(cl_.transcript(), "Befehl: \nBefehl: \nBefehl: A\nBefehl: ");
}

TEST_F(CommandLineTest, LastLineWithoutNewlineCountsAsEntered) {
  Run("A\r\nB");
  EXPECT_EQ(g_log, (std::vector<std::string>{"A", "B"}));
}

TEST_F(CommandLineTest, CommandNamesIgnoreCaseAndPrefixMarks) {
  Run("a\n_b\n._C\n-a\n  b  \n");
  EXPECT_EQ(g_log, (std::vector<std::string>{"A", "B", "C", "A", "B"}));
}

TEST_F(CommandLineTest, UnderscoreFindsGlobalNamesOnly) {
  cl_.AddModuleCommand("G", "GLOBAL", "LOKAL", CommandA);
  Run("LOKAL\n_global\n_LOKAL\n");
  EXPECT_EQ(g_log, (std::vector<std::string>{"A", "A"}));
  EXPECT_NE(cl_.transcript().find("Unbekannter Befehl \"_LOKAL\""), std::string::npos);
}

TEST_F(CommandLineTest, AskAfterInputRanOutCancelsOnce) {
  Run("ASKTWO\n");
  EXPECT_EQ(g_log, (std::vector<std::string>{"cancelled", "cancelled"}));
  EXPECT_EQ(cl_.transcript(), "Befehl: ASKTWO\nWert: \n*Abbruch*");
}

TEST_F(CommandLineTest, InteractiveSourceAnswersWhenInputRunsOut) {
  std::deque<std::string> typed = {"getippt", "A"};
  std::vector<std::string> prompts;
  cl_.SetInteractiveInput([&](const std::string& prompt) -> std::optional<std::string> {
    prompts.push_back(prompt);
    if (typed.empty()) return std::nullopt;
    std::string line = typed.front();
    typed.pop_front();
    return line;
  });
  Run("ASKONE\n");
  EXPECT_EQ(g_log, (std::vector<std::string>{"answer[getippt]", "A"}));
  EXPECT_EQ(prompts, (std::vector<std::string>{"Text: ", "Befehl: ", "Befehl: "}));
}

TEST_F(CommandLineTest, QuitStopsTheInput) {
  cl_.RequestQuit();
  Run("A\n");
  EXPECT_TRUE(g_log.empty());
}

TEST_F(CommandLineTest, RemoveGroupTakesItsCommandsAway) {
  EXPECT_TRUE(cl_.HasCommand("c"));
  cl_.RemoveGroup("group2");
  EXPECT_FALSE(cl_.HasCommand("C"));
  EXPECT_EQ(cl_.ModuleCommandNames(), (std::vector<std::string>{"A", "B"}));
  Run("C\n");
  EXPECT_TRUE(g_log.empty());
}

TEST_F(CommandLineTest, ExpressionWithUnknownFunctionSaysSo) {
  Run("(foo \"a\")\n");
  EXPECT_EQ(cl_.transcript(), "Befehl: (foo \"a\")\n; Fehler: Keine Funktionsdefinition: FOO");
}

TEST_F(CommandLineTest, OpenExpressionReadsContinuationLines) {
  Run("(quote\nabc)\n(+ 1))\nA\n");
  EXPECT_EQ(cl_.transcript(),
            "Befehl: (quote\n(_> abc)\nABC\nBefehl: (+ 1))\n; Fehler: Zu viele schließende "
            "Klammern\nBefehl: A");
}

TEST_F(CommandLineTest, MessageStartsALineOfItsOwn) {
  cl_.Print("\nabc");
  cl_.Message("def");
  cl_.Print("\n");
  cl_.Message("ghi");
  EXPECT_EQ(cl_.transcript(), "\nabc\ndef\nghi");
}

}  // namespace
}  // namespace host
