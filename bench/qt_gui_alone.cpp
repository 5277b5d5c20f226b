// Loads Qt GUI and its libraries and does nothing else: the least time any process that draws
// with Qt can start in, beside which the one-chart export is measured.
#include <QImage>

int main() { return QImage().isNull() ? 0 : 1; }
