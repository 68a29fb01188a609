#include "pages/statistics_page.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/ui_support.h"
#include "core/cycles/statistics.h"
#include "core/exchange/history_merge.h"
#include "core/store/registry.h"
#include "core/store/statistics_store.h"
#include "pages/page_keys.h"
#include "pages/statistics_list.h"

namespace lunaret {

namespace {

// The widest texts a column shows: a long date with a two-digit day and a long day name, and a
// three-digit day count.
int ColumnWidth(const QFontMetrics& metrics, int templateWidth, const QString& widest) {
  return std::max(templateWidth, metrics.horizontalAdvance(widest) + 14);
}

}  // namespace

StatisticsPage::StatisticsPage(UserStore& store, const QString& userName, QWidget* parent)
    : QWidget(parent), store_(store), userName_(userName) {
  auto* group = new QGroupBox(QStringLiteral("Vessa statistics"), this);
  SetControlId(group, kGroupId, "statisticsGroup");
  group->setFlat(true);
  list_ = new StatisticsList(group);
  list_->setEnabled(false);
  auto* groupLayout = new QVBoxLayout(group);  // owned by group
  groupLayout->setContentsMargins(8, 6, 8, 8);
  groupLayout->addWidget(list_);
  auto* layout = new QVBoxLayout(this);  // owned by this
  layout->setContentsMargins(5, 3, 5, 5);
  layout->addWidget(group);

  connect(list_, &StatisticsList::changed, this, &StatisticsPage::NotifyModified);

  auto* keys = new PageKeyRelay(this);  // owned by this
  connect(keys, &PageKeyRelay::okPressed, this, &StatisticsPage::okRequested);
  connect(keys, &PageKeyRelay::cancelPressed, this, &StatisticsPage::cancelRequested);
}

StatisticsPage::~StatisticsPage() = default;

void StatisticsPage::Initialize() {
  list_->setToolTip(QStringLiteral("Statistics."));
  ApplyLabelFont(this, {kGroupId, kListId});
  const QFontMetrics metrics(list_->font());
  list_->setColumnWidth(StatisticsList::kIdColumn, ColumnWidth(metrics, kIdWidth, "00000."));
  list_->setColumnWidth(StatisticsList::kMensesColumn,
                        ColumnWidth(metrics, kMensesWidth, "30 Sep. 2026, Wednesday"));
  list_->setColumnWidth(StatisticsList::kOvulationColumn,
                        ColumnWidth(metrics, kOvulationWidth, "30 Sep. 2026, Wednesday (day 14)"));
  list_->setColumnWidth(StatisticsList::kDurationColumn,
                        ColumnWidth(metrics, kDurationWidth, "366 days"));
  list_->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
  // Room for every column and a few rows, so that no host squeezes the dates.
  int width = 2 * list_->frameWidth() + list_->verticalScrollBar()->sizeHint().width() + 2;
  for (int column = 0; column < StatisticsModel::kColumnCount; ++column)
    width += list_->columnWidth(column);
  list_->setMinimumWidth(width);
  list_->setMinimumHeight(list_->horizontalHeader()->sizeHint().height() +
                          6 * list_->verticalHeader()->defaultSectionSize() +
                          2 * list_->frameWidth());
  LoadStatistics(userName_);
}

StatisticsList* StatisticsPage::List() const {
  return list_;
}

QString StatisticsPage::UserName() const {
  return userName_;
}

void StatisticsPage::LoadStatistics(const QString& userName) {
  userName_ = userName;
  list_->setEnabled(true);
  std::vector<StatisticsRecord> records;
  {
    // One snapshot for all the reads: faster than a read per value, and never half a save
    // made by another running copy.
    StoreTransaction reading(store_.registry());
    records = lunaret::LoadStatistics(store_, ToStore(userName_));
  }
  list_->LoadRecords(records);
}

void StatisticsPage::SaveStatistics() {
  // After a log-off the list holds nothing to save, and there is no user to save it for.
  if (list_->RowCount() == 0 || userName_.isEmpty())
    return;
  // A save on its own is atomic too; inside the main window's save it joins that one.
  StoreTransaction transaction(store_.registry());
  lunaret::SaveStatistics(store_, ToStore(userName_), list_->Records());
}

void StatisticsPage::ClearStatistics() {
  list_->RemoveAllRows();
  list_->setEnabled(false);
}

void StatisticsPage::ImportRecords(const ImportPlan& plan) {
  list_->InsertRecords(plan);
}

void StatisticsPage::AddPeriodStart(TimeValue t) {
  const ImportPlan plan = PlanImport(list_->Records(), {{t, 0}});
  if (plan.Changes())
    list_->InsertRecords(plan);
}

void StatisticsPage::RemoveRecord(int row) {
  list_->RemoveRecord(row);
}

void StatisticsPage::SetOvulation(int row, TimeValue t) {
  ImportPlan plan;
  plan.fills.push_back({static_cast<std::size_t>(row), t});
  list_->InsertRecords(plan);
}

void StatisticsPage::NotifyModified() {
  emit modified();
}

void StatisticsPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  list_->viewport()->update();  // the host shows and hides the pages as the tab changes
}

}  // namespace lunaret
