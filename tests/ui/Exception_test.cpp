// Whatever escapes to the exception box carries a message.
#include "ui/Exception.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

namespace {

std::u16string MessageOf(const std::exception_ptr& e) {
  return ui::AsFrameworkError(e).Message();
}

TEST(FrameworkError, EveryEscapedExceptionGetsAMessage) {
  EXPECT_EQ(MessageOf(std::make_exception_ptr(ui::EInvalidGraphic(u"Bitmap image is not valid"))),
            u"Bitmap image is not valid");
  EXPECT_EQ(MessageOf(std::make_exception_ptr(std::bad_alloc())), u"Out of memory");
  EXPECT_EQ(MessageOf(std::make_exception_ptr(std::bad_array_new_length())), u"Out of memory");
  EXPECT_EQ(MessageOf(std::make_exception_ptr(std::runtime_error("disk on fire"))),
            u"disk on fire");
  EXPECT_EQ(MessageOf(std::make_exception_ptr(std::runtime_error(""))), u"Unexpected error");
  EXPECT_EQ(MessageOf(std::make_exception_ptr(ui::Exception(u""))), u"Unexpected error");
  EXPECT_EQ(MessageOf(std::make_exception_ptr(42)), u"Unexpected error");
  EXPECT_EQ(MessageOf(nullptr), u"Unexpected error");
}

}  // namespace
