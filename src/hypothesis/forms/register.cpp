#include "hypothesis/forms/register.h"

#include "hypothesis/crosstabs.h"
#include "hypothesis/forms/crosstabs_form.h"
#include "hypothesis/forms/mean_dispersion_form.h"
#include "hypothesis/forms/np_form.h"
#include "hypothesis/forms/oneway_form.h"
#include "hypothesis/forms/statistic_calculator_form.h"
#include "hypothesis/mean_dispersion_tests.h"
#include "hypothesis/nonparametric_tests.h"
#include "hypothesis/oneway_anova.h"
#include "hypothesis/statistic_calculator.h"
#include "ui/window_registry.h"

namespace sorvel {

void RegisterHypothesisForms() {
  RegisterForm(TestStatisticsCommand, [](QWidget* owner) { return new TTestStatForm(owner); });
  RegisterForm(CrosstabsCommand, [](QWidget* owner) { return new TForm_Crosstabs(owner); });
  RegisterForm(MeanDispersionTestsCommand, [](QWidget* owner) { return new TT_testForm(owner); });
  RegisterForm(NonparametricTestsCommand, [](QWidget* owner) { return new TNPForm(owner); });
  RegisterForm(OnewayAnovaCommand, [](QWidget* owner) { return new TOnewayForm(owner); });
}

}  // namespace sorvel
