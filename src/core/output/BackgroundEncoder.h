// SPDX-License-Identifier: MIT
#pragma once
// Converts drawn bitmaps to file bytes on a thread of its own, one image at a time, so that a run
// can draw the next image while the previous one is being encoded. The file is written by the run
// itself, in image order.
#include <QImage>
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace qp {

// The file bytes of one image, or why there are none.
struct EncodedImage {
    bool encoded = false;                                // false: no writer, or it refused the image
    std::shared_ptr<const std::vector<uint8_t>> bytes;   // when encoded
    std::exception_ptr error;                            // conversion or encoding failed
};

class BackgroundEncoder {
public:
    BackgroundEncoder() = default;
    ~BackgroundEncoder();
    BackgroundEncoder(const BackgroundEncoder&) = delete;
    BackgroundEncoder& operator=(const BackgroundEncoder&) = delete;

    // Starts encoding `bitmap` as a file of `fileName`'s extension on the encoder's thread (which
    // is started on first use). A started image must be taken before the next one is started;
    // starting another one first throws std::logic_error.
    void start(QImage bitmap, const QString& fileName);
    // Whether an image was started and not yet taken.
    bool started() const { return m_started; }
    // Waits for the started image and gives its bytes.
    EncodedImage take();
    // Waits until the started image is encoded; its result stays to be taken.
    void wait();

    // Encodes on the calling thread, after any image the thread is working on. The same work as
    // start() and take().
    EncodedImage encodeHere(QImage bitmap, const QString& fileName);

    // A bitmap equal in every pixel to the previous one, for a file of the same extension, gets
    // the previous bytes without being encoded again: a run of identical lines encodes once.
    // Bitmaps of more than this many bytes are not kept for the comparison.
    static constexpr qsizetype maxRememberedBytes = 16 << 20;
    // Whether the previous bitmap is kept for that comparison at all: a run of one image has
    // nothing to compare it with, and its bitmap can then take its own filtered rows.
    void setRememberLast(bool remember) { m_rememberLast = remember; }

    // Tests only: called before every encoding, on the thread that encodes; what it throws is
    // that image's failure.
    static std::function<void()> s_encodeFault;

private:
    // Takes the bitmap so that its pixels go as soon as they are converted.
    EncodedImage encode(QImage bitmap, const QString& fileName);
    void work();

    std::thread m_thread;
    std::mutex m_mutex;              // guards the job fields below
    std::condition_variable m_wake;
    bool m_started = false;          // run thread only
    bool m_pending = false;          // a job waits for the thread
    bool m_done = false;             // the job's result is ready
    bool m_quit = false;
    QImage m_jobBitmap;
    QString m_jobFileName;
    EncodedImage m_jobResult;

    std::mutex m_codecMutex;         // one encoding at a time, whichever thread runs it
    bool m_rememberLast = true;
    std::vector<uint8_t> m_filtered; // PNG rows of a kept bitmap, reused from one image to the next
    QImage m_lastBitmap;             // the previous image, when it was small enough to keep
    QString m_lastExtension;
    std::shared_ptr<const std::vector<uint8_t>> m_lastBytes;
};

} // namespace qp
