#pragma once

// What the headers of the windows name without needing whole declarations: Qt's widgets, the
// engine's views, the data module, the reports and our data-aware controls.

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabBar;
class QTableWidget;
class QTabWidget;
class QTextStream;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class QWidget;

namespace data {
class TDmForm;
} // namespace data
namespace db {
class DataSource;
class Dataset;
class Field;
} // namespace db
namespace reports {
class Report;
} // namespace reports
namespace widgets {
class DBCalcEdit;
class DBCheckBox;
class DBComboBox;
class DBDateEdit;
class DBEdit;
class DBGrid;
class DBLookupCombo;
class DBMemo;
class DBRadioGroup;
class DBText;
class RegionImage;
class TLanguage;
class ToolBarItems;
class WindowService;
} // namespace widgets
