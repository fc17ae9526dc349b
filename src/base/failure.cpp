#include "base/failure.hpp"

#include <cerrno>
#include <cstring>

namespace hipaa {

namespace {

struct ErrnoName {
  int code;
  const char* name;
};

// Every errno value Linux defines, with its POSIX name in lower case and
// without the leading E.  Aliases (EWOULDBLOCK, EDEADLOCK, ENOTSUP) share a
// value with an earlier entry; the first entry for a value wins.
constexpr ErrnoName kErrnoNames[] = {
    {EPERM, "perm"}, {ENOENT, "noent"}, {ESRCH, "srch"}, {EINTR, "intr"},
    {EIO, "io"}, {ENXIO, "nxio"}, {E2BIG, "2big"}, {ENOEXEC, "noexec"},
    {EBADF, "badf"}, {ECHILD, "child"}, {EAGAIN, "again"}, {ENOMEM, "nomem"},
    {EACCES, "acces"}, {EFAULT, "fault"}, {ENOTBLK, "notblk"}, {EBUSY, "busy"},
    {EEXIST, "exist"}, {EXDEV, "xdev"}, {ENODEV, "nodev"}, {ENOTDIR, "notdir"},
    {EISDIR, "isdir"}, {EINVAL, "inval"}, {ENFILE, "nfile"}, {EMFILE, "mfile"},
    {ENOTTY, "notty"}, {ETXTBSY, "txtbsy"}, {EFBIG, "fbig"}, {ENOSPC, "nospc"},
    {ESPIPE, "spipe"}, {EROFS, "rofs"}, {EMLINK, "mlink"}, {EPIPE, "pipe"},
    {EDOM, "dom"}, {ERANGE, "range"}, {EDEADLK, "deadlk"},
    {ENAMETOOLONG, "nametoolong"}, {ENOLCK, "nolck"}, {ENOSYS, "nosys"},
    {ENOTEMPTY, "notempty"}, {ELOOP, "loop"}, {ENOMSG, "nomsg"}, {EIDRM, "idrm"},
    {ECHRNG, "chrng"}, {EL2NSYNC, "l2nsync"}, {EL3HLT, "l3hlt"}, {EL3RST, "l3rst"},
    {ELNRNG, "lnrng"}, {EUNATCH, "unatch"}, {ENOCSI, "nocsi"}, {EL2HLT, "l2hlt"},
    {EBADE, "bade"}, {EBADR, "badr"}, {EXFULL, "xfull"}, {ENOANO, "noano"},
    {EBADRQC, "badrqc"}, {EBADSLT, "badslt"}, {EBFONT, "bfont"}, {ENOSTR, "nostr"},
    {ENODATA, "nodata"}, {ETIME, "time"}, {ENOSR, "nosr"}, {ENONET, "nonet"},
    {ENOPKG, "nopkg"}, {EREMOTE, "remote"}, {ENOLINK, "nolink"}, {EADV, "adv"},
    {ESRMNT, "srmnt"}, {ECOMM, "comm"}, {EPROTO, "proto"}, {EMULTIHOP, "multihop"},
    {EDOTDOT, "dotdot"}, {EBADMSG, "badmsg"}, {EOVERFLOW, "overflow"},
    {ENOTUNIQ, "notuniq"}, {EBADFD, "badfd"}, {EREMCHG, "remchg"},
    {ELIBACC, "libacc"}, {ELIBBAD, "libbad"}, {ELIBSCN, "libscn"},
    {ELIBMAX, "libmax"}, {ELIBEXEC, "libexec"}, {EILSEQ, "ilseq"},
    {ERESTART, "restart"}, {ESTRPIPE, "strpipe"}, {EUSERS, "users"},
    {ENOTSOCK, "notsock"}, {EDESTADDRREQ, "destaddrreq"}, {EMSGSIZE, "msgsize"},
    {EPROTOTYPE, "prototype"}, {ENOPROTOOPT, "noprotoopt"},
    {EPROTONOSUPPORT, "protonosupport"}, {ESOCKTNOSUPPORT, "socktnosupport"},
    {EOPNOTSUPP, "opnotsupp"}, {EPFNOSUPPORT, "pfnosupport"},
    {EAFNOSUPPORT, "afnosupport"}, {EADDRINUSE, "addrinuse"},
    {EADDRNOTAVAIL, "addrnotavail"}, {ENETDOWN, "netdown"},
    {ENETUNREACH, "netunreach"}, {ENETRESET, "netreset"},
    {ECONNABORTED, "connaborted"}, {ECONNRESET, "connreset"}, {ENOBUFS, "nobufs"},
    {EISCONN, "isconn"}, {ENOTCONN, "notconn"}, {ESHUTDOWN, "shutdown"},
    {ETOOMANYREFS, "toomanyrefs"}, {ETIMEDOUT, "timedout"},
    {ECONNREFUSED, "connrefused"}, {EHOSTDOWN, "hostdown"},
    {EHOSTUNREACH, "hostunreach"}, {EALREADY, "already"},
    {EINPROGRESS, "inprogress"}, {ESTALE, "stale"}, {EUCLEAN, "uclean"},
    {ENOTNAM, "notnam"}, {ENAVAIL, "navail"}, {EISNAM, "isnam"},
    {EREMOTEIO, "remoteio"}, {EDQUOT, "dquot"}, {ENOMEDIUM, "nomedium"},
    {EMEDIUMTYPE, "mediumtype"}, {ECANCELED, "canceled"}, {ENOKEY, "nokey"},
    {EKEYEXPIRED, "keyexpired"}, {EKEYREVOKED, "keyrevoked"},
    {EKEYREJECTED, "keyrejected"}, {EOWNERDEAD, "ownerdead"},
    {ENOTRECOVERABLE, "notrecoverable"}, {ERFKILL, "rfkill"},
    {EHWPOISON, "hwpoison"},
};

} // namespace

std::string errno_short_name(int code) {
  for (const ErrnoName& entry : kErrnoNames) {
    if (entry.code == code) return entry.name;
  }
  return "<UNKNOWN>";
}

SysErr SysErr::from_errno(int code) { return SysErr(std::strerror(code), code); }

std::string SysErr::message() const {
  if (!code_) return "SysErr: " + text_;
  return "SysErr: " + text_ + " [" + errno_short_name(*code_) + "]";
}

void raise(const char* name) { throw Failure(name); }

void raise_io(const std::string& operation, const std::string& file, int code) {
  throw Io(operation, file, SysErr::from_errno(code).message());
}

} // namespace hipaa
