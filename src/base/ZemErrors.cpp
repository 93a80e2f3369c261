#include "base/ZemErrors.h"

#include <cerrno>

namespace zem {

std::string SystemErrorText(int Error) {
    switch (Error) {
    case ENOENT:
        return "нет такого файла или папки";
    case EACCES:
    case EPERM:
        return "нет доступа";
    case EISDIR:
        return "это папка";
    case ENOTDIR:
        return "часть пути не является папкой";
    case ENOSPC:
    case EDQUOT:
        return "нет места на диске";
    case EROFS:
        return "файловая система доступна только для чтения";
    case EEXIST:
        return "файл уже существует";
    case ENAMETOOLONG:
        return "слишком длинное имя";
    case ELOOP:
        return "слишком много символических ссылок";
    case EFBIG:
        return "файл слишком велик";
    case EIO:
        return "ошибка ввода-вывода";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    case ENOMEM:
        return "недостаточно памяти";
    case EBUSY:
    case ETXTBSY:
        return "файл занят";
    case EXDEV:
        return "файл на другом устройстве";
    default:
        return "системная ошибка " + std::to_string(Error);
    }
}

} // namespace zem
