<?xml version="1.0" encoding="utf-8"?>
<!-- The preferences page of the "setup" route, for administrators: the stored preferences in
     their groups (the group numbered by the root's grouporder is open), saved with one post,
     and the program's version with the update button when a newer one exists. A save answers
     an empty result, shown as a notice with the way back. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="share.xsl"/>

  <xsl:template match="r" mode="title">系统设置</xsl:template>

  <xsl:template match="r" mode="body">
    <xsl:if test="@errid != '' and @errid != '100'">
      <p class="error"><xsl:value-of select="@errmsg"/></p>
    </xsl:if>
    <xsl:choose>
      <xsl:when test="not(item) and @errid = '100'">
        <p class="hint">设置已保存。</p>
        <p><a class="button" href="setup?xsl=setup">返回设置</a></p>
      </xsl:when>
      <xsl:otherwise>
        <xsl:apply-templates select="item[1]"/>
      </xsl:otherwise>
    </xsl:choose>
    <xsl:for-each select="app[@AppCurVer != '']">
      <div class="list">
        <p class="item">
          <xsl:text>当前版本 </xsl:text><xsl:value-of select="@AppCurVer"/>
          <xsl:if test="@AppNewVerVal &gt; @AppCurVerVal">
            <xsl:text>，最新版本 </xsl:text><xsl:value-of select="@AppNewVer"/>
          </xsl:if>
        </p>
        <xsl:if test="@AppNewVerVal &gt; @AppCurVerVal">
          <div class="form">
            <button class="button" type="button" data-post="update" data-next="./"
                    data-confirm="更新期间网页将暂时无法使用，确定更新吗？">更新到最新版本</button>
            <span class="hint">更新前请先在后台注销主程序。</span>
          </div>
        </xsl:if>
      </div>
    </xsl:for-each>
  </xsl:template>

  <xsl:template match="item">
    <xsl:variable name="open" select="/r/@grouporder"/>
    <!-- sent by script as the XML body the server reads (a plain form post would arrive as
         url-encoded text, which the server does not take as fields) -->
    <form class="form" id="setupform" onsubmit="return false">
      <xsl:variable name="fields" select="col[@rw = '1' and @col != '' and (@type = '1' or @type = '7' or @type = '10')]"/>
      <xsl:for-each select="$fields">
        <xsl:variable name="group" select="@group"/>
        <!-- a group starts where the group text changes; its number counts those starts -->
        <xsl:if test="position() = 1 or preceding-sibling::col[@rw = '1' and @col != '' and (@type = '1' or @type = '7' or @type = '10')][1]/@group != $group">
          <xsl:variable name="number" select="count(preceding-sibling::col[@rw = '1' and @col != '' and (@type = '1' or @type = '7' or @type = '10')][following-sibling::col[@rw = '1' and @col != '' and (@type = '1' or @type = '7' or @type = '10')][1]/@group != @group]) + 1"/>
          <details class="list">
            <xsl:if test="$number = $open or (not($open &gt; 0) and $number = 1)">
              <xsl:attribute name="open">open</xsl:attribute>
            </xsl:if>
            <summary><xsl:value-of select="$group"/></summary>
            <xsl:for-each select="$fields[@group = $group]">
              <xsl:call-template name="field"/>
            </xsl:for-each>
          </details>
        </xsl:if>
      </xsl:for-each>
      <div class="actions">
        <button class="button" type="submit">保存设置</button>
      </div>
    </form>
    <script>
      (function () {
        var form = document.getElementById('setupform');
        form.addEventListener('submit', function () {
          var submit = form.querySelector('[type=submit]');
          submit.disabled = true;
          lvShow('', form);
          lvPost('setup?save=1', form).then(function (result) {
            submit.disabled = false;
            lvShow(result.errid === ERR_OK ? '设置已保存' : result.errmsg, form, result.errid === ERR_OK);
            form.scrollIntoView({ block: 'start' });
          });
        });
      })();
    </script>
  </xsl:template>

  <xsl:template name="field">
    <xsl:variable name="key" select="concat('0_0_', @order)"/>
    <div class="item">
      <label for="f{$key}"><xsl:value-of select="@name"/></label>
      <xsl:choose>
        <xsl:when test="option">
          <xsl:variable name="value" select="@wildval"/>
          <select id="f{$key}" name="{$key}">
            <xsl:for-each select="option">
              <option value="{@val}">
                <xsl:if test="@val = $value"><xsl:attribute name="selected">selected</xsl:attribute></xsl:if>
                <xsl:value-of select="."/>
              </option>
            </xsl:for-each>
          </select>
        </xsl:when>
        <xsl:when test="@type = '1'">
          <input id="f{$key}" name="{$key}" type="number" value="{@wildval}" min="{@min}">
            <xsl:if test="@max &lt; 2147483647"><xsl:attribute name="max"><xsl:value-of select="@max"/></xsl:attribute></xsl:if>
          </input>
          <xsl:if test="@unit != ''"><span class="hint"><xsl:value-of select="@unit"/></span></xsl:if>
        </xsl:when>
        <xsl:when test="@type = '7'">
          <!-- a logo: the picture as stored; a new one is uploaded first and given by its
               number, an empty field keeps the logo -->
          <img src="{@wildval}" alt=""/>
          <input id="f{$key}" name="{$key}" type="number" min="0" value="" placeholder="上传图片的编号"/>
        </xsl:when>
        <xsl:otherwise>
          <input id="f{$key}" name="{$key}" type="text" value="{@wildval}"/>
        </xsl:otherwise>
      </xsl:choose>
      <xsl:if test="@memo != '' and @memo != @name"><span class="hint"><xsl:value-of select="@memo"/></span></xsl:if>
    </div>
  </xsl:template>
</xsl:stylesheet>
