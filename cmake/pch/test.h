// The test framework on top of a layer's headers.
#pragma once

#include <QSignalSpy>
#include <QTest>
