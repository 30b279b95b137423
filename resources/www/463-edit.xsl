<?xml version="1.0" encoding="utf-8"?>
<!-- One record to change on a phone: the fields the user may change as inputs (each sent on
     its own to "setcol" when it changes, named as the record form names it), the others as
     text; below them the lines of its lists that have fields the user may change (a class's
     students and their attendance). -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="share.xsl"/>

  <xsl:template match="r" mode="title">
    <xsl:text>修改</xsl:text><xsl:value-of select="@itemtype"/><xsl:text>：</xsl:text><xsl:value-of select="item[1]/@name"/>
  </xsl:template>

  <xsl:template match="r" mode="body">
    <xsl:choose>
      <xsl:when test="@errid != '100'">
        <p class="error"><xsl:value-of select="@errmsg"/></p>
      </xsl:when>
      <xsl:when test="not(item)">
        <p class="error">找不到该<xsl:value-of select="@itemtype"/>，可能已被删除。</p>
      </xsl:when>
      <xsl:otherwise>
        <xsl:variable name="item" select="item[1]"/>
        <h1><xsl:value-of select="$item/@name"/></h1>
        <form class="form" id="editform" data-mduid="{@mduid}" data-query="{$item/@query}" onsubmit="return false">
          <xsl:for-each select="$item/col[@coldetail = '1' and @type != '6']">
            <div class="item">
              <label for="f0_0_{@order}"><xsl:value-of select="@name"/></label>
              <xsl:call-template name="field">
                <xsl:with-param name="key" select="concat('0_0_', @order)"/>
              </xsl:call-template>
              <!-- the explanation helps to fill a field in; under a figure that cannot be
                   changed it only makes a long page longer -->
              <xsl:if test="@rw = '1' and @memo != '' and @memo != @name"><div class="hint"><xsl:value-of select="@memo"/></div></xsl:if>
            </div>
          </xsl:for-each>
          <!-- child lines (the students of a class, say): each line under its title, with the
               fields of the line the user may change; the key names list, line and field -->
          <xsl:for-each select="$item/col[@coldetail = '1' and @type = '6' and item[@pos != '0']/col[@rw = '1' and @coldetail = '1']]">
            <xsl:variable name="list" select="@order"/>
            <fieldset class="lines">
              <legend><xsl:value-of select="@name"/></legend>
              <xsl:for-each select="item[@pos != '0']">
                <xsl:variable name="pos" select="@pos"/>
                <div class="line">
                  <div class="title"><xsl:value-of select="col[@coldetail = '1'][1]/@dispval"/></div>
                  <xsl:for-each select="col[@rw = '1' and @coldetail = '1' and (option or @type = '1' or @type = '2' or @type = '3' or @type = '8' or @type = '10')]">
                    <xsl:variable name="key" select="concat($list, '_', $pos, '_', @order)"/>
                    <label for="f{$key}"><xsl:value-of select="@name"/></label>
                    <xsl:call-template name="field">
                      <xsl:with-param name="key" select="$key"/>
                    </xsl:call-template>
                  </xsl:for-each>
                </div>
              </xsl:for-each>
            </fieldset>
          </xsl:for-each>
          <p class="hint" id="editstate"></p>
        </form>
        <form method="get" action="query">
          <input type="hidden" name="mduid" value="{@mduid}"/>
          <input type="hidden" name="one" value="1"/>
          <input type="hidden" name="xsl" value="detail"/>
          <input type="hidden" name="query" value="{$item/@query}"/>
          <button class="button block" type="submit">完成</button>
        </form>
        <script>
          (function () {
            var form = document.getElementById('editform');
            var state = document.getElementById('editstate');
            var fields = form.querySelectorAll('[data-key]');
            for (var i = 0; i &lt; fields.length; i++) {
              fields[i].addEventListener('change', function (e) {
                var f = e.target;
                // the answer shows under the field changed, not at the end of a long form
                f.parentNode.insertBefore(state, f.nextSibling);
                state.className = 'hint';
                state.textContent = '正在保存…';
                var url = 'setcol?mduid=' + encodeURIComponent(form.getAttribute('data-mduid')) +
                          '&amp;query=' + encodeURIComponent(form.getAttribute('data-query')) +
                          '&amp;key=' + encodeURIComponent(f.getAttribute('data-key'));
                var req = new XMLHttpRequest();
                req.open('POST', url);
                req.onload = function () {
                  var r = req.responseXML ? req.responseXML.documentElement : null;
                  if (req.status !== 200 || !r) { state.className = 'error'; state.textContent = '保存失败'; return; }
                  var ok = r.getAttribute('errid') === '100';
                  state.className = ok ? 'hint' : 'error';
                  state.textContent = ok ? '已保存' : r.getAttribute('errmsg');
                };
                req.send(f.value);
              });
            }
          })();
        </script>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>
  <!-- One field as the input its type calls for (the key is what "setcol" is told), or its
       text where the user may not change it. -->
  <xsl:template name="field">
    <xsl:param name="key"/>
    <xsl:choose>
      <xsl:when test="@rw = '1' and option">
        <select id="f{$key}" data-key="{$key}">
          <xsl:variable name="current" select="@wildval"/>
          <xsl:for-each select="option">
            <option value="{@val}">
              <xsl:if test="@val = $current"><xsl:attribute name="selected">selected</xsl:attribute></xsl:if>
              <xsl:value-of select="."/>
            </option>
          </xsl:for-each>
        </select>
      </xsl:when>
      <xsl:when test="@rw = '1' and @type = '3'">
        <input id="f{$key}" type="date" data-key="{$key}" value="{@wildval}"/>
      </xsl:when>
      <xsl:when test="@rw = '1' and (@type = '1' or @type = '2')">
        <input id="f{$key}" type="number" step="any" data-key="{$key}" value="{@wildval}"/>
      </xsl:when>
      <xsl:when test="@rw = '1' and @long = '1'">
        <textarea id="f{$key}" data-key="{$key}"><xsl:value-of select="@wildval"/></textarea>
      </xsl:when>
      <xsl:when test="@rw = '1' and (@type = '10' or @type = '8')">
        <input id="f{$key}" type="text" data-key="{$key}" value="{@wildval}"/>
      </xsl:when>
      <xsl:otherwise>
        <div class="value"><xsl:value-of select="@dispval"/></div>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>
</xsl:stylesheet>
