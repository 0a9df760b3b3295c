#include "platform/qt/settle.h"

#include <thread>

#include <QCoreApplication>
#include <QEventLoop>

namespace platform::qt {

void Settle(ui::Runtime& runtime, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    QEventLoop loop;
    // The waiting happens on a helper thread, so the GUI goes on meanwhile; the helper ends
    // the loop once the runtime is idle (queued, so a quit that comes before the loop runs
    // is not lost).
    std::thread waiter([&runtime, &loop] {
      runtime.WaitUntilIdle();
      QMetaObject::invokeMethod(
          &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    waiter.join();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

}  // namespace platform::qt
