// The form's report on window-less controls: what a click costs before any widget is touched.
#include "cataloguecontrols.h"
#include "conversion.h"
#include "schoolselection.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

using namespace tavrelon;

namespace {

// The form wired as the window wires it: checking an option raises its click.
struct Form
{
    Form()
        : form(controls)
    {
        controls.setOptionClickHandler([this](std::int16_t index) { form.Option1_Click(index); });
    }

    CatalogueControls controls;
    SchoolSelection form;
};

// The first row of the names list whose grammarian belongs to the school.
std::int16_t firstRowOf(std::int16_t school)
{
    const auto &catalogue = Catalogue::standard();
    for (std::int16_t row = 0; row < catalogue.rowCount(); ++row) {
        if (textToNumber(catalogue.schoolText(row)) == school) {
            return row;
        }
    }
    return -1;
}

void optionClick(benchmark::State &state)
{
    const auto school = static_cast<std::int16_t>(state.range(0));
    Form form;
    for (auto _ : state) {
        form.form.Option1_Click(school);
        benchmark::DoNotOptimize(form.controls.textWrites());
    }
    state.SetLabel(form.controls.optionCaption(school));
}

void listClick(benchmark::State &state)
{
    const auto school = static_cast<std::int16_t>(state.range(0));
    Form form;
    form.controls.selectRow(firstRowOf(school));
    for (auto _ : state) {
        form.form.List1_Click(0);
        benchmark::DoNotOptimize(form.controls.textWrites());
    }
    state.SetLabel(form.controls.optionCaption(school));
}

double fastest(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

double slowest(const std::vector<double> &times)
{
    return *std::max_element(times.begin(), times.end());
}

} // namespace

// Run with --benchmark_repetitions=N for the median and min-max over N runs.
BENCHMARK(optionClick)
    ->Name("Option1_Click")
    ->DenseRange(0, 2)
    ->ComputeStatistics("min", fastest)
    ->ComputeStatistics("max", slowest);
BENCHMARK(listClick)
    ->Name("List1_Click")
    ->DenseRange(0, 2)
    ->ComputeStatistics("min", fastest)
    ->ComputeStatistics("max", slowest);
