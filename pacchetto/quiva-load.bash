# bash completion for quiva-load: its options, read from its own --help so
# that they never fall behind the program; files where an option wants one.
_quiva_load()
{
    local cur prev
    cur="${COMP_WORDS[COMP_CWORD]}"
    prev="${COMP_WORDS[COMP_CWORD-1]}"
    case "$prev" in
        --db|--ini|--config|--file|--scarti|--importa|--json)
            COMPREPLY=($(compgen -f -- "$cur"))
            compopt -o filenames 2>/dev/null
            return ;;
        --connect|--dsn|--utente|--set)
            return ;;
    esac
    # The file after --esporta CODICE.
    if [ "$COMP_CWORD" -ge 3 ] && [ "${COMP_WORDS[COMP_CWORD-2]}" = "--esporta" ]; then
        COMPREPLY=($(compgen -f -- "$cur"))
        compopt -o filenames 2>/dev/null
        return
    fi
    if [[ "$cur" == -* ]]; then
        if [ -z "${_quiva_load_opzioni:-}" ]; then
            _quiva_load_opzioni="$("${COMP_WORDS[0]}" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u | tr '\n' ' ')"
        fi
        COMPREPLY=($(compgen -W "$_quiva_load_opzioni" -- "$cur"))
    fi
}
complete -F _quiva_load quiva-load
