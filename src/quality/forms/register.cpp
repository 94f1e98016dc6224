#include "quality/forms/register.h"

#include "quality/attributes_chart.h"
#include "quality/control_limit_calculations.h"
#include "quality/control_test_selection.h"
#include "quality/forms/attr_setup_form.h"
#include "quality/forms/control_limit_form.h"
#include "quality/forms/control_tests_dialog.h"
#include "quality/forms/var_setup_form.h"
#include "quality/variables_control_charts.h"
#include "ui/window_registry.h"

namespace sorvel {

void RegisterQualityForms() {
  RegisterForm(AttributesControlChartsCommand,
               [](QWidget* owner) { return new TForm_AttrSetup(owner); });
  RegisterForm(ControlLimitCalculationsCommand,
               [](QWidget* owner) { return new TControl_Limit_Form(owner); });
  RegisterForm(ControlTestSelectionCommand,
               [](QWidget* owner) { return new TForm_ControlTests(owner); });
  RegisterForm(VariablesControlChartsCommand,
               [](QWidget* owner) { return new TForm_VARsetup(owner); });
}

}  // namespace sorvel
