// SPDX-License-Identifier: MIT
#include "core/output/BackgroundEncoder.h"

#include "core/output/BitmapExchange.h"
#include "core/output/StoreImage.h"

#include <stdexcept>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace qp {

std::function<void()> BackgroundEncoder::s_encodeFault;

namespace {
void releaseFreeMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
} // namespace

BackgroundEncoder::~BackgroundEncoder()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void BackgroundEncoder::start(QImage bitmap, const QString& fileName)
{
    // One image at a time: a second start would overwrite the first one's job unseen.
    if (m_started)
        throw std::logic_error("BackgroundEncoder: an image was started before the previous one was taken");
    if (!m_thread.joinable())
        m_thread = std::thread([this] { work(); });
    {
        std::lock_guard lock(m_mutex);
        m_jobBitmap = std::move(bitmap);
        m_jobFileName = fileName;
        m_pending = true;
        m_done = false;
    }
    m_started = true;
    m_wake.notify_all();
}

void BackgroundEncoder::wait()
{
    if (!m_started)
        return;
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_done; });
}

EncodedImage BackgroundEncoder::take()
{
    if (!m_started)
        return {};
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_done; });
    m_started = false;
    m_done = false;
    EncodedImage result = std::move(m_jobResult);
    m_jobResult = {};
    return result;
}

EncodedImage BackgroundEncoder::encodeHere(QImage bitmap, const QString& fileName)
{
    return encode(std::move(bitmap), fileName);
}

void BackgroundEncoder::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending || m_quit; });
        if (m_quit)
            return;
        m_pending = false;
        QImage bitmap = std::move(m_jobBitmap);
        m_jobBitmap = QImage();
        const QString fileName = m_jobFileName;
        lock.unlock();
        // Nothing may leave the thread: a failure is the image's, reported when it is taken.
        EncodedImage result;
        try {
            result = encode(std::move(bitmap), fileName);
        } catch (...) {
            result = {};
            result.error = std::current_exception();
        }
        lock.lock();
        m_jobResult = std::move(result);
        m_done = true;
        m_wake.notify_all();
    }
}

EncodedImage BackgroundEncoder::encode(QImage bitmap, const QString& fileName)
{
    std::lock_guard lock(m_codecMutex);
    EncodedImage result;
    try {
        if (s_encodeFault)
            s_encodeFault();
        const QString extension = upperExtension(fileName);
        if (m_lastBytes && extension == m_lastExtension && bitmap == m_lastBitmap) {
            result.encoded = true;
            result.bytes = m_lastBytes;
            return result;
        }
        m_lastBitmap = QImage();
        m_lastBytes.reset();
        // A bitmap that is not kept takes its own filtered rows; a kept one has them in a
        // buffer that serves one image after the other. Other formats go through a record:
        // one bitmap or record at a time, a large bitmap goes once it is converted.
        auto bytes = std::make_shared<std::vector<uint8_t>>();
        const qsizetype bitmapBytes = bitmap.sizeInBytes();
        const bool remember = m_rememberLast && bitmapBytes <= maxRememberedBytes;
        // A transparent bitmap keeps its alpha: a 32-bit record, which each writer stores in the
        // form of its format that has alpha.
        const bool alpha = bitmap.hasAlphaChannel();
        if (!alpha && EncodeBitmapAsPng(fileName, bitmap, remember ? &m_filtered : nullptr, *bytes)) {
            result.encoded = true;
        } else {
            imaging::TDynImageDataArray images(1);
            if (alpha)
                BitmapToImageData(bitmap, images[0]);
            else
                BitmapToR8G8B8ImageData(bitmap, images[0]);
            if (!remember)
                bitmap = QImage();
            result.encoded = EncodeImageFile(fileName, images, *bytes);
        }
        if (!remember && bitmapBytes > maxRememberedBytes) {
            // A long image's pages go back to the system now, not when the heap happens to shrink.
            bitmap = QImage();
            releaseFreeMemory();
        }
        if (result.encoded) {
            result.bytes = bytes;
            if (remember) {
                m_lastBitmap = std::move(bitmap);
                m_lastExtension = extension;
                m_lastBytes = std::move(bytes);
            }
        }
    } catch (...) {
        result = {};
        result.error = std::current_exception();
    }
    return result;
}

} // namespace qp
