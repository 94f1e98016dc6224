// Option validation, the typed accessors, the report scope and the report table.
#include "analysis/analysis.h"

#include <gtest/gtest.h>

#include <memory>

#include "data/column_selection.h"
#include "data/data_list.h"
#include "data/io/data_file.h"
#include "output/report_table.h"
#include "output/report_text.h"
#include "output/report_writer.h"

namespace sorvel {
namespace {

enum class TShape { Round = 3, Square = 7 };

// One option of every kind, in the window's order.
TOptionSpec Spec(const char* name, TOptionKind kind, const char* initial, const char* label = "") {
  TOptionSpec s;
  s.Name = name;
  s.Kind = kind;
  s.Default = initial;
  s.Help = name;
  s.Label = label;
  return s;
}

TAnalysis Sample() {
  TAnalysis a;
  a.Name = "sample";
  TOptionSpec number = Spec("value", TOptionKind::Number, "0");
  TOptionSpec positive = Spec("df", TOptionKind::PositiveNumber, "1", "df");
  TOptionSpec probability = Spec("alpha", TOptionKind::Probability, "0.05", "Alpha");
  probability.Refusal = "Alpha must be between 0 and 1!";
  TOptionSpec whole = Spec("trials", TOptionKind::WholeNumber, "10", "Trials");
  whole.Min = 1;
  whole.Max = 100;
  TOptionSpec choice = Spec("shape", TOptionKind::Choice, "round");
  choice.Choices = {ChoiceOf(TShape::Round, "round", "Round"),
                    ChoiceOf(TShape::Square, "square", "Square")};
  TOptionSpec flag = Spec("clear", TOptionKind::Flag, "0");
  TOptionSpec column = Spec("x", TOptionKind::Column, "");
  TOptionSpec columns = Spec("ys", TOptionKind::Columns, "");
  TOptionSpec text = Spec("title", TOptionKind::Text, "");
  a.Options = {number, positive, probability, whole, choice, flag, column, columns, text};
  TAnalysisRegistry r;
  r.Add(a);
  return r.All().front();  // with the decimals option the registry adds
}

std::unique_ptr<TDataList> Data() {
  auto list = std::make_unique<TDataList>();
  EXPECT_TRUE(ReadDataBytes("Weight\tHeight, cm\tLine\r\n1\t2\tA\r\n", *list).Ok);
  return list;
}

struct TRefusal {
  const char* Option;
  const char* Text;
  const char* Message;
  bool Usage;
};

class ValidateOptionsRefuses : public ::testing::TestWithParam<TRefusal> {};

TEST_P(ValidateOptionsRefuses, WithTheWindowsMessage) {
  const TRefusal& c = GetParam();
  auto data = Data();
  TValidation v = ValidateOptions(Sample(), {{c.Option, c.Text}}, data.get());
  EXPECT_FALSE(v.Ok);
  EXPECT_EQ(v.Message, c.Message);
  EXPECT_EQ(v.UsageFault, c.Usage);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ValidateOptionsRefuses,
    ::testing::Values(TRefusal{"value", "2,5", "'2,5' is not a valid number!", false},  // not 25
                      TRefusal{"value", "1.2.3", "'1.2.3' is not a valid number!", false},
                      TRefusal{"value", "", "'' is not a valid number!", false},
                      TRefusal{"value", "1e999", "'1e999' is not a valid number!", false},
                      TRefusal{"df", "0", "df must be greater than 0!", false},
                      TRefusal{"df", "-1", "df must be greater than 0!", false},
                      TRefusal{"alpha", "1", "Alpha must be between 0 and 1!", false},
                      TRefusal{"alpha", "0", "Alpha must be between 0 and 1!", false},
                      TRefusal{"trials", "2.5", "'2.5' is not a whole number!", false},
                      TRefusal{"trials", "0", "Trials must be from 1 to 100!", false},
                      TRefusal{"trials", "101", "Trials must be from 1 to 100!", false},
                      TRefusal{"decimals", "10", "Decimals must be from 0 to 9!", false},
                      TRefusal{"shape", "oval", "'oval' is not a choice of --shape (round|square)",
                               true},
                      TRefusal{"clear", "maybe", "--clear takes no value, or 1 or 0", true},
                      TRefusal{"x", "Mass", "'Mass' is not a column of the data set!", false},
                      TRefusal{"x", "4", "'4' is not a column of the data set!", false},
                      TRefusal{"ys", "1,,2", "'' is not a column of the data set!", false},
                      TRefusal{"colour", "red", "sample has no option '--colour'", true}));

TEST(ValidateOptions, DefaultsFillWhatIsNotGivenAndAccessorsReadTheKinds) {
  auto data = Data();
  TValidation v = ValidateOptions(Sample(),
                                  {{"value", " -.5 "},
                                   {"shape", "square"},
                                   {"clear", "1"},
                                   {"x", "height, cm"},
                                   {"ys", "3, 1"}},
                                  data.get());
  ASSERT_TRUE(v.Ok) << v.Message;
  const TOptionValues& o = v.Values;
  EXPECT_EQ(o.Number("value"), -0.5);
  EXPECT_EQ(o.Text("value"), "-.5");  // trimmed, as typed
  EXPECT_EQ(o.Number("df"), 1);
  EXPECT_EQ(o.Number("alpha"), 0.05);
  EXPECT_EQ(o.Whole("trials"), 10);
  EXPECT_EQ(o.Choice<TShape>("shape"), TShape::Square);
  EXPECT_TRUE(o.Flag("clear"));
  EXPECT_EQ(o.Column("x"), 2);  // by name, case ignored, a comma inside the name
  EXPECT_EQ(o.Columns("ys"), (std::vector<int>{3, 1}));
  EXPECT_EQ(o.Decimals(), 4);
  // Reading an option through another kind, or one never declared, is a programming error.
  EXPECT_THROW(o.Flag("value"), std::logic_error);
  EXPECT_THROW(o.Number("nothing"), std::logic_error);
}

TEST(ValidateOptions, TheFirstFaultInTheWindowsOrderIsReported) {
  TValidation v = ValidateOptions(Sample(), {{"trials", "0"}, {"value", "x"}}, nullptr);
  EXPECT_EQ(v.Message, "'x' is not a valid number!");
}

TEST(ValidateOptions, ColumnsNeedADataSet) {
  TValidation v = ValidateOptions(Sample(), {{"x", "1"}}, nullptr);
  EXPECT_EQ(v.Message, "'1' is not a column of the data set!");
}

TEST(RunValidated, AnAnalysisThatNeedsDataRefusesAnEmptyDataSet) {
  TAnalysis a = Sample();
  a.NeedsData = true;
  a.NoDataMessage = "No data!";
  bool ran = false;
  a.Run = [&](const TAnalysisContext&) {
    ran = true;
    return TOutcome();
  };
  TDataList empty;
  for (TDataList* d : {static_cast<TDataList*>(nullptr), &empty}) {
    TOutcome o = RunValidated(a, {}, d, {}, {});
    EXPECT_EQ(o.Status, TOutcome::TStatus::Refused);
    EXPECT_EQ(o.Error, "No data!");
  }
  EXPECT_FALSE(ran);
  auto data = Data();
  EXPECT_EQ(RunValidated(a, {}, data.get(), {}, {}).Status, TOutcome::TStatus::Ok);
  EXPECT_TRUE(ran);
}

TEST(RunValidated, AnAnalysisWithOptionalDataRunsOnTypedValues) {
  TAnalysis a = Sample();
  a.NeedsData = a.DataOptional = true;
  a.NoDataMessage = "No data!";
  a.ColumnSelectionTest = [](const TOptionValues&) { return ColSelTwoIndependent; };
  int runs = 0;
  a.Run = [&](const TAnalysisContext& c) {
    ++runs;
    EXPECT_EQ(c.Options.ColumnSelection(), nullptr);
    return TOutcome();
  };
  TAnalysisRegistry r;
  r.Add(a);
  a = *r.Find("sample");
  EXPECT_NE(a.FindOption("group1"), nullptr);  // the registry adds the dialog's options
  TDataList empty;
  for (TDataList* d : {static_cast<TDataList*>(nullptr), &empty})
    EXPECT_EQ(RunValidated(a, {}, d, {}, {}).Status, TOutcome::TStatus::Ok);
  EXPECT_EQ(runs, 2);
  // Groups from the data set need one that holds data.
  bool usage = false;
  TOutcome o = RunValidated(a, {{"group1", "1"}}, &empty, {}, {}, &usage);
  EXPECT_EQ(o.Error, "No data!");
  EXPECT_FALSE(usage);
  o = RunValidated(a, {{"group1", "1"}}, nullptr, {}, {}, &usage);
  EXPECT_EQ(o.Error, "--group1 needs a data file");
  EXPECT_TRUE(usage);
  EXPECT_EQ(runs, 2);
}

TEST(ReadPlainNumber, TakesWhatAnEditHoldsAndNothingElse) {
  struct {
    const char* Text;
    bool Ok;
    double Value;
  } cases[] = {{"2.5", true, 2.5},   {".5", true, 0.5}, {"-3", true, -3},  {"+4", true, 4},
               {"1e-3", true, 1e-3}, {" 7 ", true, 7},  {"2,5", false, 0}, {"1,000", false, 0},
               {"abc", false, 0},    {"", false, 0},    {"1 2", false, 0}, {"0x10", false, 0}};
  for (const auto& c : cases) {
    double x = 0;
    EXPECT_EQ(ReadPlainNumber(c.Text, x), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(x, c.Value) << c.Text;
    }
  }
}

TEST(ReportScope, RestoresTheWriterItFound) {
  ResetReportWriter();
  TReport outer, inner;
  SetReport(outer);
  BodyStyle(12);
  {
    TReportScope scope(inner);
    TitleStyle(10);
    WriteLine("inside");
  }
  EXPECT_EQ(CurrentReport(), &outer);
  EXPECT_EQ(ReportWriter().Font.Size, 12);
  WriteLine("outside");
  EXPECT_EQ(ReportPlainText(inner), "inside\n");
  EXPECT_EQ(ReportPlainText(outer), "outside\n");
  ResetReportWriter();
}

TEST(ReportTable, ColumnsAlignOnTheirWidestCell) {
  using A = TReportTable::TAlign;
  TReportTable t(2, 1);
  t.AddColumn("Source", A::Left);
  t.AddColumn("df", A::Right);
  t.AddColumn("p", A::Right);
  t.AddRow({"X\xC2\xB2 test", TReportTable::Count(12), TReportTable::PValue(0.0123, 0.05)});
  t.AddRow({"Error", TReportTable::Count(2.5), TReportTable::PValue(0.5, 0.05)});
  t.AddRow({"Missing", TReportTable::Value(MissingValue, 2), TReportTable::Value(999, 2)});
  EXPECT_EQ(t.Lines(), (std::vector<std::string>{
                           " Source    df       p",
                           " X\xC2\xB2 test   12  0.012*",  // "X²" is two characters wide
                           " Error    2.5  0.500", " Missing          999"}));
}

}  // namespace
}  // namespace sorvel
