# Sourced: how this Linux machine runs 32-bit x86 programs, such as Wine's
# 32-bit loader. Some kernels run them natively; others run 64-bit processes
# only ("Exec format error"), and then they run through qemu user-mode
# emulation registered with binfmt_misc.
#
#   i386_way               prints native, emulated (an i386 binfmt_misc
#                          handler is registered) or none
#   i386_register_qemu     registers qemu-i386-static for i386 programs
#                          (root only; changes the machine for everyone
#                          until reboot) and says so in one line
#
# ZI370_X86_WAY=emulated makes i386_way pass over a kernel that runs 32-bit
# programs itself (to try the emulated way on such a machine): it says
# "emulated" once a handler is registered and "none" until then.

binfmt_dir=/proc/sys/fs/binfmt_misc
# ELF, 32-bit, little-endian, executable or shared object, machine i386.
i386_magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# The name of an enabled binfmt_misc handler for i386 programs, if any.
i386_binfmt_handler() {
  local entry
  for entry in "$binfmt_dir"/*; do
    [ -f "$entry" ] && [ "${entry##*/}" != status ] && [ "${entry##*/}" != register ] || continue
    if grep -qx enabled "$entry" && grep -qx 'offset 0' "$entry" &&
       grep -q '^magic 7f454c4601010100000000000000000002000300' "$entry"; then
      echo "${entry##*/}"
      return 0
    fi
  done
  return 1
}

# Runs a 96-byte static i386 program that only exits with status 42.
i386_runs() {
  local probe status
  probe=$(mktemp) || return 1
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'\
'\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00'\
'\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

i386_way() {
  # binfmt_misc is often not mounted; its handlers are invisible until it is.
  if [ ! -e "$binfmt_dir/register" ] && [ "$(id -u)" -eq 0 ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt_dir" 2>/dev/null
  fi
  if i386_binfmt_handler >/dev/null; then
    echo emulated
  elif [ "${ZI370_X86_WAY:-}" = emulated ]; then
    echo none
  elif i386_runs; then
    echo native
  else
    echo none
  fi
}

i386_register_qemu() {
  local qemu
  [ "$(id -u)" -eq 0 ] && [ -e "$binfmt_dir/register" ] || return 1
  qemu=$(command -v qemu-i386-static) || return 1
  if [ -e "$binfmt_dir/qemu-i386" ]; then
    echo 1 >"$binfmt_dir/qemu-i386" || return 1  # ours from an earlier run, disabled since
  else
    # F: the interpreter is opened now, so it serves every mount namespace.
    printf ':qemu-i386:M::%s:%s:%s:F\n' "$i386_magic" "$i386_mask" "$qemu" >"$binfmt_dir/register" || return 1
  fi
  echo "note: registered $qemu with binfmt_misc for 32-bit x86 programs, machine-wide until reboot" \
       "(undo: echo -1 > $binfmt_dir/qemu-i386)"
}
