#include "explore/forms/register.h"

#include "explore/compute_variables.h"
#include "explore/descriptive_statistics.h"
#include "explore/explore_tables.h"
#include "explore/forms/compute_variables_form.h"
#include "explore/forms/descriptive_form.h"
#include "explore/forms/explore_form.h"
#include "explore/forms/frequency_plot_form.h"
#include "explore/forms/hist_form.h"
#include "explore/forms/plot_form.h"
#include "explore/histogram.h"
#include "explore/plots.h"
#include "ui/window_registry.h"

namespace sorvel {

void RegisterExploreForms() {
  RegisterForm(DescriptiveStatisticsCommand,
               [](QWidget* owner) { return new TDescriptiveForm(owner); });
  RegisterForm(ExploreCommand, [](QWidget* owner) { return new TWNormal_Form(owner); });
  // Opened by Explore (and the one-way analysis of variance) with their runs.
  RegisterForm(HistogramCommand, [](QWidget* owner) { return new THistForm(owner); });
  RegisterForm(PlotsCommand, [](QWidget* owner) { return new TPlot_Form(owner); });
  RegisterForm(FrequencyPlotsCommand, [](QWidget* owner) { return new TFrequencyPlotForm(owner); });
  // Opened from the data editor's Data menu.
  RegisterForm(ComputeVariablesCommand, [](QWidget* owner) { return new TBkbox_Form(owner); });
}

}  // namespace sorvel
